// The ScriptContext: the record of one interpreter instance. The host lends it
// as a zero-filled movable block; every entry call locks it and unlocks it
// before returning, so nothing may keep a pointer into it between calls.
#pragma once
#include <windows.h>
#include <cstdint>
#include "host/api.h"
#include "host/limits.h"
#include "values/value.h"
#include "values/varrecord.h"

namespace zel {

struct UdfRecord;   // exec/udf.h
struct ArrayBlock;  // values/array.h

constexpr uint16_t kMainScript = 65535;  // udfExecuting outside any definition's body

// Host event mask bits.
enum : uint32_t {
  kEventIdle = 1u << 0,
  kEventStatement = 1u << 1,
  kEventCall = 1u << 2,
  kEventFileChange = 1u << 3,
};

// Include mode bits.
enum : uint32_t {
  kIncludeMerge = 1u << 0,     // merge #include files before the run
  kIncludeRunTime = 1u << 1,   // turn a run-time #include line into a Call
};

// ErrorMode values.
enum : uint32_t { kErrorModeOff = 0, kErrorModeCancel = 1, kErrorModeNotify = 2 };

// Cancel and error handler modes.
enum : int32_t {
  kHandlerCancelLabel = -1,  // cancel only: the label :CANCEL when the script has one
  kHandlerNone = 0,
  kHandlerLabel = 1,         // jump to the handler label, disarming
  kHandlerSubroutine = 2,    // call the handler label as a subroutine, disarming
  kHandlerFunction = 3,      // call the handler function named in the context
};

// One frame of the StructureStack.
struct StructFrame {
  uint16_t kind;
  uint32_t resume;      // position to jump to (loop start, return point)
  uint32_t linePos;     // start of the line that pushed the frame
  HGLOBAL script;       // script buffer that was running
  uint16_t function;    // UDF that was executing; 65535 the main script
  uint8_t state;        // skip state bits
  uint8_t savedLoop;    // inside-a-loop flag before the push
  uint16_t variable;
  uint16_t collection;
};

// A file slot of FileOpen: the file handle first, the read buffer's handle
// two words later.
struct FileSlot {
  HANDLE file;           // nullptr: a free slot
  uint32_t state;        // kFileReading, kFileWriting, kFileEndSeen, kFileEndReturned, kFileWritten
  HGLOBAL buffer;        // read buffer, or nullptr (unbuffered)
  uint32_t bufferSize;   // bytes of the read buffer; 0 unbuffered
  uint32_t bufferPos;    // next unread byte of the buffer
  uint32_t bufferLen;    // bytes the buffer holds
  uint8_t form;          // kFormAnsi, kFormUtf16, kFormUtf16BigEndian
  uint8_t wideResult;    // FileRead returns UTF-16 text
  uint16_t reserved;
};

// FileSlot state bits.
enum : uint32_t {
  kFileReading = 1,
  kFileEndSeen = 2,
  kFileWriting = 4,
  kFileEndReturned = 8,
  kFileWritten = 16,  // something was written; a UTF-16 file has its byte-order mark
};

// FileSlot text forms.
enum : uint8_t { kFormAnsi = 0, kFormUtf16 = 1, kFormUtf16BigEndian = 2 };

// A binary buffer slot: the block stays locked for the buffer's life, so its
// address is kept with it.
struct BufferSlot {
  HGLOBAL buffer;         // the buffer's block; nullptr when the slot is free
  uint8_t* data;          // the block's locked address
  uint32_t unused[2];
  int32_t size;           // bytes allocated
  int32_t eod;            // end of data, 0..size
  uint32_t oleType;       // COM marshalling type set by BinaryOleType; 0 none
  uint32_t oleDirection;  // 1 in, 2 out, 3 both
};
#if !defined(_WIN64)
static_assert(sizeof(BufferSlot) == 32, "binary buffer slot is 32 bytes");
#endif

struct ScriptContext {
  // ---- host binding
  void* hostCallback;
  HWND hostWindow;
  HWND ownerWindow;      // the host window's parent, or the host window
  HGLOBAL selfHandle;    // the context's own handle
  HINSTANCE hostInstance;
  uint32_t eventMask;
  const void* hostTable; // the host's function table for this run

  // ---- user-defined functions
  HGLOBAL udfBlocks[kUdfBlocks];  // each locked for as long as it lives
  UdfRecord* udfRecords[kUdfMax];
  int32_t udfHighBlock;  // -1: none allocated
  uint16_t udfCount;     // definitions whose end line has been read
  uint16_t udfExecuting; // definition whose body runs; kMainScript none
  uint8_t inDefinition;  // between a definition line and its end line
  uint8_t dupDefinition; // ... of a name already defined: the body is ignored
  uint16_t udfNesting;   // bodies running inside one another

  // ---- work buffers
  char work1[kWorkBuf];
  char work2[kWorkBuf];
  char labelLine[kWorkBuf];
  char lineBuf[kWorkBuf];    // the line being executed, decoded
  char failLine[kWorkBuf];   // copy of the failing line for error reports
  char* curLine;
  HGLOBAL errorInfo;         // additional information / extra error text, 1,025 bytes

  // ---- lexer
  char tokenText[kWorkBuf];
  char nameBuf[kWorkBuf];
  uint8_t tokenKind;
  int16_t tokenCode;
  const char* prog;          // next unread character of the line
  const char* tokenStart;    // where the current token began, for putback
  uint16_t tokenSlot;        // slot of the current variable token; 65535 none
  uint32_t addressOfPending;
  uint32_t noCreate;
  uint32_t addressOfRequest; // the next variable token is created as an integer
  uint32_t persistentMode;
  uint32_t objectNoCreate;

  // ---- variables
  HGLOBAL varTable;          // current frame's table
  VarRecord* vars;           // the same, locked
  uint16_t varCapacity;
  uint16_t varInUse;
  uint16_t frameNumber;      // current frame
  uint32_t frameSerial;      // current frame's serial
  uint32_t frameTick;        // current frame's creation tick
  uint32_t frameCounter;     // serial given to the next frame
  FrameRecord frames[kVarFrames];
  uint32_t assignTarget;     // assignment in progress: frame << 16 | slot; ~0u none

  // ---- arrays
  ArrayBlock** unheldArrays; // blocks no variable holds yet (process heap); see arr::DisposeUnheld
  uint32_t unheldCount;
  uint32_t unheldCapacity;

  // ---- string heap
  char* heapBase;
  uint32_t heapCommitted;
  uint32_t heapEnd;          // offset of the end tag
  uint8_t* heapDescriptor;   // the host's descriptor, or nullptr

  // ---- statement state
  int32_t pendingElse;       // 1 last If true, 0 false, -1 none
  uint8_t skipState;
  uint8_t stmtClass;
  uint8_t condResult;
  uint8_t inLoop;
  int32_t structDepth;
  StructFrame structs[kStructFrames];
  uint32_t lineStart;
  HGLOBAL scriptHandle;
  uint16_t callNesting;
  uint32_t inExecute;        // a line run by Execute: reports go to a plain box
  uint32_t fastPump;         // pump without waiting between messages
  uint32_t pumpDisabled;
  uint32_t breakDisabled;    // Ctrl+Break does not stop the run
  uint64_t statements;       // statements executed since the context began
  uint32_t lastPumpTick;     // tick count of the last pump after a statement

  // ---- errors
  uint16_t error;            // current error; 0 none
  uint16_t lastError;        // the last statement's error
  uint16_t deferredLineError;
  int32_t runResult;
  int32_t runError;
  int32_t cancelHandlerMode; // -1 at every run
  int32_t errorHandlerMode;  // 0 at every run
  uint32_t errorMode;        // kErrorModeCancel at every run
  uint32_t reportedError;    // last number handed to reporting; read and cleared by LastError
  uint32_t substitutedError; // the real number behind the codes that stand for another
  uint32_t errorOffset;      // script position of the failing statement; ~0u none
  uint32_t handlerSavedError;
  uint32_t continueFlag;     // the error was shown and the user chose Continue
  uint32_t silentMode;       // non-zero: reports and message boxes go to the log file
  int32_t executeReportMode; // errors inside Execute: 0 OK and Cancel, 1 OK only, 2 not shown
  char customErrorText[kCustomErrorText];
  char composedMessage[kWorkBuf];
  char logFile[kMaxPathLen]; // receives silent-mode reports; "" no log
  char cancelHandlerName[kVarNameSize + 1];  // UDF of cancel handler mode 3
  char errorHandlerName[kVarNameSize + 1];   // UDF of error handler mode 3
  uint32_t handlerOffered;   // the statement's error already went to a handler function
  char productLine[256];     // the host's product line, shown by the error dialog

  // ---- prompt buttons
  char buttonOk[kButtonName + 1];      // ButtonNames captions for the next box with buttons
  char buttonCancel[kButtonName + 1];
  uint32_t buttonNamesPending;         // the captions above wait to be used

  // ---- trace
  uint32_t traceOn;
  uint32_t traceMode;
  char traceFile[kMaxPathLen];
  char lastTraced[kWorkBuf];

  // ---- script identity
  char scriptPath[kMaxPathLen];
  uint32_t includeMode;
  uint32_t inUdfBody;
  uint32_t bodyBase;         // script position of a running body's first byte

  // ---- run control
  uint32_t stopRequested;
  uint32_t reportStop;
  uint32_t reportOnStop;
  HCURSOR cursorCurrent;
  HCURSOR cursorWait;
  HCURSOR cursorNormal;
  void* blockInputFn;
  uint32_t inputBlocked;

  // ---- owned resources
  FileSlot files[kFileSlots];
  BufferSlot buffers[kBufferSlots];
  HMODULE nativeLibs[kNativeLibs];
  uint32_t nativeLibCount;
  HMODULE extenders[kExtenders];
  uint32_t extenderCount;
  char extenderErrorText[kWorkBuf];  // text the host or an extender gave with its last failure
  uint32_t ddeConversations[kDdeSlots];
  uint32_t ddeInstance;
  uint32_t ddeTimeout;       // milliseconds

  // ---- settings
  uint32_t soundOn;
  uint32_t prettyDialogs;
  uint32_t regViewFlag;      // 256 for a 32-bit process under 64-bit Windows

  // ---- run-time switches (IntControl); set when the context starts
  uint32_t listHidden;       // 5: file and directory lists include hidden and system entries
  uint32_t pumpFlags;        // 12: bit 8 turns off the Ctrl+Break check of the pump
  int32_t promptFont;        // 28: 0 system, 1 fixed-pitch, 2 user-interface font
  char listDelimiter;        // 29: separator of file and directory lists; tab
  int32_t keyDelay;          // 35 p1: milliseconds between synthesised keystrokes; 25
  int32_t mouseDelay;        // 35 p2: milliseconds between button down and up; 0
  int32_t yearFourDigits;    // 41: 1 four-digit years in time results, 0 two
  int32_t keyWaitIdle;       // 43: SendKey waits for the foreground program to be idle; 1
  int32_t keyConsole;        // 45: SendKey types into console windows without pauses; 1
  int32_t windowWaitCount;   // 46: extra one-second attempts of a window search; 9
  int32_t supportButton;     // 50: the error dialog shows its support-page button; 0
  char supportPage[256];     // 50 / extender service 30: the support page's address
  int32_t fileShareRead;     // 39: share mode of FileOpen for reading; 1
  int32_t fileShareWrite;    // 40: share mode of FileOpen for writing and appending; 0
  int32_t fileLineEnd;       // 53: FileWrite line end: 0 none, 1 CR LF, 2 LF, 3 CR, 4 tab
  int32_t foregroundMode;    // 61: foreground-activation mode
  int32_t promptForeground;  // 62: foreground-activation mode of prompts
  int32_t promptRect[4];     // 63: one-shot rectangle (left, top, right, bottom) in 1/1000 screen
  uint32_t promptRectSet;    // 63: promptRect applies to the next list or text box
  int32_t lastExitCode;      // 64: exit code of the last program run with waiting; 99999 none
  int32_t fileReadBuffer;    // 65: FileRead buffer size; -2 the file's size, 0 unbuffered
  int32_t windowActionDelay; // 70: milliseconds after a close/minimise/... request; 100
  int32_t waitDoneDelay;     // 70: milliseconds after WinWaitExist/WinWaitClose succeed; 500
  int32_t inputIdleWait;     // 74: milliseconds a started program gets to be ready; 10000
  int32_t batchedInput;      // 88: 1 batched input call for synthesised keys; 0
  int32_t listNameCheck;     // 91: name check of file lists: 0 wildcard, 1 none, 2 PathMatchSpecW

  // ---- values
  int32_t decimals;          // FormatFloat precision, -1..8 and -2, -3
  uint32_t codePage;         // code page of ANSI <-> UTF-16 conversions
  int32_t aboveIconsBottom;  // bottom edge kept for @aboveicons placement

  // ---- files
  uint32_t overwriteAnswer;  // last overwrite confirmation: 1..4, 101..104; 0 ask
};

// The host allocates kZelContextBytes; the record is smaller, and the rest is
// room for later fields without changing what hosts allocate.
static_assert(sizeof(ScriptContext) <= kZelContextBytes, "ScriptContext outgrew the host's block");

}  // namespace zel
