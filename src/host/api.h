// The library's exported entry points, as hosts and extenders see them. All
// use the standard Windows calling convention and are exported undecorated.
#pragma once
#include <windows.h>
#include <cstdint>

#if defined(ZEL_BUILDING_DLL)
#define ZEL_API extern "C" __declspec(dllexport)
#else
#define ZEL_API extern "C" __declspec(dllimport)
#endif

namespace zel { struct ScriptContext; }

// Bytes a host allocates (zero-filled, movable) for one ScriptContext.
constexpr size_t kZelContextBytes = 256 * 1024;
// Interface version a host passes in bits 8..15 of DoDaDllInit operation 0.
constexpr uint32_t kZelInterfaceVersion = 19;
constexpr uint32_t kZelInterfaceOk = 0xF1F0;
constexpr uint32_t kZelInitDone = 76;
// Offsets of the words the library writes into a host heap descriptor when the
// heap grows: the committed region's base (a machine address: 8 bytes on
// win64) and the committed size (32 bits).
constexpr size_t kZelDescriptorBaseOffset = 8;
constexpr size_t kZelDescriptorSizeOffset = 420;
constexpr size_t kZelDescriptorBytes = 424;

enum ZelInitOperation : int16_t {
  kZelOpCheckInterface = 0,
  kZelOpInitContext = 1,
  kZelOpBindVariables = 2,
  kZelOpAttachHeap = 3,
  kZelOpEndContext = 99,
};

using ZelDoDaDllInit = LONG(WINAPI*)(HWND window, HGLOBAL context, LONG_PTR value,
                                     int16_t operation, LONG_PTR number, const char* text1,
                                     const char* text2);

ZEL_API LONG WINAPI DoDaDllInit(HWND window, HGLOBAL context, LONG_PTR value, int16_t operation,
                                LONG_PTR number, const char* text1, const char* text2);
ZEL_API LONG WINAPI ProcessDaBatBuffer(HWND window, HGLOBAL context, HGLOBAL script, void* callback, const void* hostTable);
ZEL_API uint32_t WINAPI VMalloc(zel::ScriptContext* ctx, uint32_t bytes);
ZEL_API void WINAPI VFree(zel::ScriptContext* ctx, uint32_t offset);

// The VARIANT type number of a name such as "VT_I4" or "bool" (an optional
// "VT_" prefix, any case), and its category in *category when that is not
// null: 1 integer kinds, 2 other kinds. -1 and category 0 for an unknown name.
ZEL_API int32_t WINAPI MyVariantStrToNum(const char* name, int32_t* category);
