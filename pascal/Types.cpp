// The basic types and type identity.
#include "pascal/Types.h"

namespace pascal {

namespace {
TypeInfo makeBasic(Kind k, const char* name) {
    TypeInfo t;
    t.kind = k;
    t.name = name;
    return t;
}
const TypeInfo kInt = makeBasic(Kind::Integer, "Integer");
const TypeInfo kFloat = makeBasic(Kind::Float, "Float");
const TypeInfo kStr = makeBasic(Kind::String, "String");
const TypeInfo kBool = makeBasic(Kind::Boolean, "Boolean");
const TypeInfo kVoid = makeBasic(Kind::Void, "procedure");
const TypeInfo kError = makeBasic(Kind::Error, "?");
const TypeInfo kArgList = makeBasic(Kind::ArgList, "array of const");
const TypeInfo kEmptySet = [] {
    TypeInfo t = makeBasic(Kind::Set, "[]");
    t.hi = kMaxSetValue;
    return t;
}();
} // namespace

const TypeInfo* intType() {
    return &kInt;
}
const TypeInfo* floatType() {
    return &kFloat;
}
const TypeInfo* strType() {
    return &kStr;
}
const TypeInfo* boolType() {
    return &kBool;
}
const TypeInfo* voidType() {
    return &kVoid;
}
const TypeInfo* errorType() {
    return &kError;
}
const TypeInfo* argListType() {
    return &kArgList;
}
const TypeInfo* emptySetType() {
    return &kEmptySet;
}

bool sameType(const TypeInfo* a, const TypeInfo* b) {
    if (a == b)
        return true;
    if (a->kind != b->kind)
        return false;
    switch (a->kind) {
    case Kind::StaticArray:
        return a->lo == b->lo && a->hi == b->hi && sameType(a->elem, b->elem);
    case Kind::DynArray:
        return sameType(a->elem, b->elem);
    case Kind::Proc:
        if (a->procParams.size() != b->procParams.size() || !sameType(a->elem, b->elem))
            return false;
        for (std::size_t i = 0; i < a->procParams.size(); ++i)
            if (!sameType(a->procParams[i].type, b->procParams[i].type) ||
                a->procParams[i].byRef != b->procParams[i].byRef)
                return false;
        return true;
    case Kind::Set:
        // [] goes with every set; sets of Integer ranges with each other.
        return !a->elem || !b->elem || sameType(a->elem, b->elem);
    case Kind::Record:
    case Kind::Enum:
        return false; // records and enumerations are equal only by name
    default:
        return true;
    }
}

} // namespace pascal
