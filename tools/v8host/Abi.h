#pragma once
// The binary interface as the platform sees it, written out per target from
// the platform's own conventions: table layouts, calling convention, the
// value record. Nothing here comes from the add-in's headers, so a mismatch
// between the two shows up as a failing harness test rather than agreeing by
// construction.
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace v8host {

#if defined(_WIN32)
// The platform is built with MSVC: one destructor slot per table, and on
// 32-bit every operation is __stdcall with the object pushed first.
inline constexpr bool kWindowsAbi = true;
inline constexpr int kDestructorSlots = 1;
#if defined(__i386__) || defined(_M_IX86)
#define V8HOST_CALL __stdcall
#else
#define V8HOST_CALL
#endif
#else
// GCC's Itanium ABI: a virtual destructor takes two slots (complete and
// deleting destructor); System V calling convention.
inline constexpr bool kWindowsAbi = false;
inline constexpr int kDestructorSlots = 2;
#define V8HOST_CALL
#endif

// The platform's `long`: 32-bit on Windows, 64-bit on Linux x86_64.
using TV8Long = long;
using TV8ULong = unsigned long;

// Position in a table of operation AOperation (1-based, as the interface
// lists them after the destructor).
constexpr int SlotOf(int AOperation) noexcept { return kDestructorSlots + AOperation - 1; }

// One table entry. Calls cast it to the exact operation type first.
using TSlot = void (*)();

// Operation numbers (1-based) of the interfaces the platform calls.
namespace InitDone {
inline constexpr int Init = 1, SetMemManager = 2, GetInfo = 3, Done = 4;
}
namespace Extender {
inline constexpr int RegisterExtensionAs = 1, GetNProps = 2, FindProp = 3, GetPropName = 4,
                     GetPropVal = 5, SetPropVal = 6, IsPropReadable = 7, IsPropWritable = 8,
                     GetNMethods = 9, FindMethod = 10, GetMethodName = 11, GetNParams = 12,
                     GetParamDefValue = 13, HasRetVal = 14, CallAsProc = 15, CallAsFunc = 16;
}
namespace Locale {
inline constexpr int SetLocale = 1;
}
// Operations of the interfaces the platform implements for the add-in.
namespace MemoryOps {
inline constexpr int AllocMemory = 1, FreeMemory = 2, Count = 2;
}
namespace ServiceOps {
inline constexpr int AddError = 1, Read = 2, Write = 3, RegisterProfileAs = 4,
                     SetEventBufferDepth = 5, GetEventBufferDepth = 6, ExternalEvent = 7,
                     CleanEventBuffer = 8, SetStatusLine = 9, ResetStatusLine = 10,
                     GetInterface = 11, Count = 11;
}

// Positions of the three interface views inside a component object.
inline constexpr std::size_t kInitDoneView = 0;
inline constexpr std::size_t kExtenderView = 1;
inline constexpr std::size_t kLocaleView = 2;

// Type codes of the value record (low 12 bits of vt) and the flag bits.
enum TVType : std::uint16_t {
  VTYPE_EMPTY = 0, VTYPE_NULL = 1, VTYPE_I2 = 2, VTYPE_I4 = 3, VTYPE_R4 = 4, VTYPE_R8 = 5,
  VTYPE_DATE = 6, VTYPE_TM = 7, VTYPE_PSTR = 8, VTYPE_INTERFACE = 9, VTYPE_ERROR = 10,
  VTYPE_BOOL = 11, VTYPE_VARIANT = 12, VTYPE_I1 = 13, VTYPE_UI1 = 14, VTYPE_UI2 = 15,
  VTYPE_UI4 = 16, VTYPE_I8 = 17, VTYPE_UI8 = 18, VTYPE_INT = 19, VTYPE_UINT = 20,
  VTYPE_HRESULT = 21, VTYPE_PWSTR = 22, VTYPE_BLOB = 23, VTYPE_CLSID = 24,
  VTYPE_STR_BLOB = 0xFFF,
};
inline constexpr std::uint16_t VTYPE_TYPEMASK = 0x0FFF;
inline constexpr std::uint16_t VTYPE_VECTOR = 0x1000;
inline constexpr std::uint16_t VTYPE_ARRAY = 0x2000;
inline constexpr std::uint16_t VTYPE_BYREF = 0x4000;

struct TV8Guid {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(TV8Guid) == 16);

#if defined(_WIN32)
// MSVC's struct tm: nine ints.
struct TV8Tm {
  int tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year, tm_wday, tm_yday, tm_isdst;
};
inline constexpr std::size_t kValueUnionSize = 40;
inline constexpr std::size_t kVariantSize = 48;
#else
// glibc's struct tm (with tm_gmtoff and tm_zone): 56 bytes on x86_64.
using TV8Tm = std::tm;
inline constexpr std::size_t kValueUnionSize = 56;
inline constexpr std::size_t kVariantSize = 64;
#endif

// The platform's value record (tVariant).
struct alignas(8) TV8Variant {
  union {
    std::int8_t i8Val;
    std::int16_t shortVal;
    std::int32_t lVal;
    std::int32_t intVal;
    std::uint32_t uintVal;
    std::int64_t llVal;
    std::uint8_t ui8Val;
    std::uint16_t ushortVal;
    std::uint32_t ulVal;
    std::uint64_t ullVal;
    std::int32_t errCode;
    std::int32_t hRes;
    float fltVal;
    double dblVal;
    bool bVal;
    char chVal;
    char16_t wchVal;
    double date;
    TV8Guid IDVal;
    TV8Variant* pvarVal;
    TV8Tm tmVal;
    struct {
      void* pInterfaceVal;
      TV8Guid InterfaceID;
    } iface;
    struct {
      char* pstrVal;
      std::uint32_t strLen;
    } str;
    struct {
      char16_t* pwstrVal;
      std::uint32_t wstrLen;
    } wstr;
    unsigned char raw[kValueUnionSize];
  };
  std::uint32_t cbElements;
  std::uint16_t vt;
  std::uint16_t padding;  // never written by the platform's declarations
};

static_assert(sizeof(TV8Variant) == kVariantSize, "value record size");
static_assert(offsetof(TV8Variant, cbElements) == kValueUnionSize, "cbElements offset");
static_assert(offsetof(TV8Variant, vt) == kValueUnionSize + 4, "vt offset");
static_assert(offsetof(TV8Variant, padding) == kValueUnionSize + 6, "padding offset");
static_assert(offsetof(TV8Variant, wstr.pwstrVal) == 0 && offsetof(TV8Variant, str.pstrVal) == 0);
static_assert(offsetof(TV8Variant, wstr.wstrLen) == sizeof(void*), "wstrLen follows the pointer");
static_assert(offsetof(TV8Variant, str.strLen) == sizeof(void*), "strLen follows the pointer");
#if defined(_WIN32)
static_assert(sizeof(TV8Tm) == 36, "MSVC struct tm");
#else
static_assert(sizeof(std::tm) == 56, "glibc struct tm on x86_64");
#endif

}  // namespace v8host
