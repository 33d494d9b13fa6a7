// The types of the script language as the checker and the execution core see
// them, and where each kind of value is stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pascal {

enum class Kind : std::uint8_t {
    Integer,
    Float,
    String,
    Boolean,
    Enum,        // (Red, Green, Blue): an ordinal 0..n-1 with a name for each value
    Set,         // set of an enumeration or of 0..63: one bit per value in a number cell
    Proc,        // function(x: Integer): Integer: a script routine, in a number cell
    StaticArray, // array[lo..hi] of T: a value, copied on assignment
    DynArray,    // array of T: a reference, shared on assignment
    Record,      // a value, copied on assignment
    Void,        // the "type" of a procedure call
    ArgList,     // [a, b, c] given to Format: values of any basic type
    Error        // an expression that already failed to compile: no more messages
};

// Each value lives in one of three kinds of slot: an 8-byte number cell
// (Integer, Float, Boolean), a string, or an aggregate (arrays, records).
enum class Storage : std::uint8_t { Number, Str, Agg };

struct TypeInfo;

struct Field {
    std::string upper; // the name, upper-cased, for lookup
    std::string name;  // as declared
    const TypeInfo* type;
    int index; // slot index within its storage kind
};

struct TypeInfo {
    Kind kind;
    std::string name;                // for messages ("Integer", "array of String", ...)
    const TypeInfo* elem = nullptr;  // arrays: the element type
    std::int64_t lo = 0, hi = -1;    // static arrays: the bounds
    std::vector<Field> fields;       // records
    std::vector<std::string> names;  // enumerations: the values' names as declared
    const TypeInfo* index = nullptr; // static arrays indexed by an enumeration: that type
    struct ProcParam {
        const TypeInfo* type;
        bool byRef, isConst;
    };
    std::vector<ProcParam> procParams; // procedural types; elem is the result (void: none)
    int counts[3] = {0, 0, 0};         // records: slots per Storage kind
    std::uint64_t cells = 1;           // total slots a value takes (for the size limit)
};

inline Storage storageOf(const TypeInfo* t) {
    switch (t->kind) {
    case Kind::String:
        return Storage::Str;
    case Kind::StaticArray:
    case Kind::DynArray:
    case Kind::Record:
        return Storage::Agg;
    default:
        return Storage::Number;
    }
}

inline bool isOrdinal(const TypeInfo* t) {
    return t->kind == Kind::Integer || t->kind == Kind::Boolean || t->kind == Kind::Enum;
}

// The basic types, shared by every program.
const TypeInfo* intType();
const TypeInfo* floatType();
const TypeInfo* strType();
const TypeInfo* boolType();
const TypeInfo* voidType();
const TypeInfo* errorType();
const TypeInfo* argListType();
// The type of [], which every set type takes.
const TypeInfo* emptySetType();
// Values a set holds: the bits of one number cell.
inline constexpr std::int64_t kMaxSetValue = 63;

// Whether values of the two types may be assigned one to the other as they
// are (Integer to Float widening is handled by the checker separately).
bool sameType(const TypeInfo* a, const TypeInfo* b);

} // namespace pascal
