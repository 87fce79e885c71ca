// VARIANT type names: the type number and category of a name such as "VT_I4",
// for scripts and, through MyVariantStrToNum, for extenders.
#include <cstring>

#include "host/api.h"
#include "values/convert.h"

namespace zel::val {
namespace {

constexpr int32_t kIntegerKinds = 1, kOtherKinds = 2, kUnknownKind = 0;

struct TypeName {
  const char* name;
  int32_t type;
  int32_t category;
};

constexpr TypeName kTypeNames[] = {
    {"I1", VT_I1, kIntegerKinds},     {"I2", VT_I2, kIntegerKinds},
    {"I4", VT_I4, kIntegerKinds},     {"UI1", VT_UI1, kIntegerKinds},
    {"UI2", VT_UI2, kIntegerKinds},   {"UI4", VT_UI4, kIntegerKinds},
    {"BOOL", VT_BOOL, kIntegerKinds}, {"CY", VT_CY, kOtherKinds},
    {"DATE", VT_DATE, kOtherKinds},   {"DECIMAL", VT_DECIMAL, kOtherKinds},
    {"NULL", VT_NULL, kOtherKinds},
};

}  // namespace

int32_t VariantTypeOfName(const char* name, int32_t* category) {
  if (category) *category = kUnknownKind;
  if (!name) return -1;
  if (_strnicmp(name, "VT_", 3) == 0) name += 3;
  for (const TypeName& t : kTypeNames) {
    if (_stricmp(name, t.name) == 0) {
      if (category) *category = t.category;
      return t.type;
    }
  }
  return -1;
}

}  // namespace zel::val

// The VARIANT type number of a type name; -1 (category 0) when unknown.
ZEL_API int32_t WINAPI MyVariantStrToNum(const char* name, int32_t* category) {
  return zel::val::VariantTypeOfName(name, category);
}
