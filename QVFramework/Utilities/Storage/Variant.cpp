#include "Variant.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace QV {

// Inline values are kept in the host's order and written out as they lie.
static_assert(std::endian::native == std::endian::little, "records are little-endian");
static_assert(sizeof(Variant) == 24, "the device library passes Variants by address");

namespace {

uint32_t ReadLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WriteLE32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Half away from zero, then toward zero.
double RoundHalfAway(double v)
{
    return v >= 0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
}

// Out-of-range values saturate and NaN gives 0, so no conversion is undefined.
int64_t RoundToInt64(double v)
{
    const double r = RoundHalfAway(v);
    if (std::isnan(r)) return 0;
    if (r >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
    if (r < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

int32_t RoundToInt32(double v)
{
    const int64_t r = RoundToInt64(v);
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// Values of 2^63 and above go through the unsigned range.
uint64_t RoundToUInt64(double v)
{
    const double r = RoundHalfAway(v);
    if (r >= 9223372036854775808.0) {
        if (r >= 18446744073709551616.0) return std::numeric_limits<uint64_t>::max();
        return static_cast<uint64_t>(r);
    }
    return static_cast<uint64_t>(RoundToInt64(v));
}

bool IsUnsignedType(int32_t t)
{
    return t == Variant::kUInt8 || t == Variant::kUInt16 || t == Variant::kUInt32 ||
           t == Variant::kUInt64;
}

bool IsSignedIntegerType(int32_t t)
{
    return t == Variant::kInt8 || t == Variant::kInt16 || t == Variant::kInt32 ||
           t == Variant::kInt64;
}

bool IsOwningType(int32_t t) { return t > Variant::kBorrowedHidden && t <= Variant::kArray; }

uint32_t InlineWidth(int32_t t)
{
    if (t >= Variant::kBool && t <= Variant::kUInt8) return 1;
    if (t == Variant::kInt16 || t == Variant::kUInt16) return 2;
    if (t >= Variant::kInt32 && t <= Variant::kFloat) return 4;
    if (t >= Variant::kDouble && t <= Variant::kUInt64) return 8;
    return 0;
}

}  // namespace

Variant::~Variant() { Clear(); }

template <class V>
void Variant::SetInline(int32_t type, V value)
{
    Clear();
    std::memcpy(mPayload, &value, sizeof value);
    mType = type;
}

template <class V>
V Variant::Inline() const
{
    V v;
    std::memcpy(&v, mPayload, sizeof v);
    return v;
}

uint8_t* Variant::Block() const { return Inline<uint8_t*>(); }

void Variant::SetBlock(uint8_t* block, uint32_t length, int32_t type)
{
    std::memcpy(mPayload, &block, sizeof block);
    mLength = length;
    mType = type;
}

uint64_t Variant::ReadBlockPrefix(uint32_t n) const
{
    const uint8_t* block = Block();
    if (!block) return 0;
    const uint32_t count = n < mLength ? n : mLength;
    uint64_t v = 0;
    for (uint32_t i = 0; i < count; ++i) v |= static_cast<uint64_t>(block[i]) << (8 * i);
    return v;
}

// The stored integer (or bool byte), sign- or zero-extended by its type.
int64_t Variant::IntegerValue() const
{
    switch (mType) {
    case kBool:
    case kUInt8: return Inline<uint8_t>();
    case kInt8: return Inline<int8_t>();
    case kInt16: return Inline<int16_t>();
    case kUInt16: return Inline<uint16_t>();
    case kInt32: return Inline<int32_t>();
    case kUInt32: return Inline<uint32_t>();
    case kInt64: return Inline<int64_t>();
    case kUInt64: return static_cast<int64_t>(Inline<uint64_t>());
    default: return 0;
    }
}

void Variant::Clear()
{
    if (IsOwningType(mType)) FreeData(Block());
    std::memset(mPayload, 0, sizeof mPayload);
    mLength = 0;
    mType = kEmpty;
}

int32_t Variant::Assign(const Variant& other)
{
    if (&other == this) return mType;
    Clear();
    if (IsOwningType(other.mType)) {
        const uint8_t* source = other.Block();
        uint8_t* copy = nullptr;
        if (source) {
            copy = AllocateData(other.mLength);
            if (other.mLength > 0) std::memcpy(copy, source, other.mLength);
        }
        SetBlock(copy, other.mLength, kEmpty);
    } else {
        std::memcpy(mPayload, other.mPayload, sizeof mPayload);
        mLength = other.mLength;
    }
    mType = other.mType;
    return mType;
}

void Variant::SetBool(bool v) { SetInline<uint8_t>(kBool, v ? 1 : 0); }
void Variant::SetInt8(int8_t v) { SetInline(kInt8, v); }
void Variant::SetUInt8(uint8_t v) { SetInline(kUInt8, v); }
void Variant::SetInt16(int16_t v) { SetInline(kInt16, v); }
void Variant::SetUInt16(uint16_t v) { SetInline(kUInt16, v); }
void Variant::SetInt32(int32_t v) { SetInline(kInt32, v); }
void Variant::SetUInt32(uint32_t v) { SetInline(kUInt32, v); }
void Variant::SetFloat(float v) { SetInline(kFloat, v); }
void Variant::SetDouble(double v) { SetInline(kDouble, v); }
void Variant::SetInt64(int64_t v) { SetInline(kInt64, v); }
void Variant::SetUInt64(uint64_t v) { SetInline(kUInt64, v); }

void Variant::SetBorrowed(const void* block, uint32_t length, bool hidden)
{
    Clear();
    SetBlock(static_cast<uint8_t*>(const_cast<void*>(block)), block ? length : 0,
             hidden ? kBorrowedHidden : kBorrowed);
}

void Variant::SetBlob(const void* bytes, uint32_t length)
{
    uint8_t* copy = AllocateData(length);
    if (length > 0) {
        if (bytes) std::memcpy(copy, bytes, length);
        else std::memset(copy, 0, length);
    }
    // Copied before clearing, so bytes may point into this Variant's block.
    Clear();
    SetBlock(copy, length, kBlob);
}

void Variant::SetString(const char* text)
{
    if (!text) text = "";
    SetBlob(text, static_cast<uint32_t>(std::strlen(text) + 1));
    mType = kString;
}

int32_t Variant::SetData(int32_t type, const void* bytes, uint32_t length)
{
    const uint8_t* own = IsOwningType(mType) ? Block() : nullptr;
    const auto at = reinterpret_cast<uintptr_t>(bytes);
    const auto base = reinterpret_cast<uintptr_t>(own);
    if (own && at >= base && at - base < mLength) {
        // Decoding from our own block: keep it alive until the copy is made.
        Variant decoded;
        decoded.SetData(type, bytes, length);
        return Assign(decoded);
    }
    Clear();
    if (type < kBool || type > kArray) return kEmpty;
    if (length > 0 && !bytes) return kEmpty;
    if (const uint32_t width = InlineWidth(type)) {
        if (length != width) return kEmpty;
        std::memcpy(mPayload, bytes, width);
        mType = type;
        return type;
    }
    if (type == kString) {
        // Untrusted data: the text must end inside the given bytes.
        if (length == 0 || !std::memchr(bytes, 0, length)) return kEmpty;
        SetString(static_cast<const char*>(bytes));
        return mType;
    }
    if (type == kArray && length == 0) {
        mType = kArray;
        return mType;
    }
    SetBlob(bytes, length);
    if (type == kArray) mType = kArray;
    return mType;
}

bool Variant::GetAsBool() const
{
    switch (mType) {
    case kFloat: return !(Inline<float>() == 0.0f);
    case kDouble: return !(Inline<double>() == 0.0);
    case kBorrowed:
    case kBorrowedHidden: return Block() != nullptr;
    case kBlob:
    case kArray: return mLength != 0;
    case kString: return mLength > 1;
    default: return IntegerValue() != 0;
    }
}

uint8_t Variant::GetAsUInt8() const
{
    switch (mType) {
    case kBool: return IntegerValue() != 0 ? 1 : 0;
    case kFloat:
    case kDouble: return static_cast<uint8_t>(RoundToInt32(GetAsDouble()));
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob: return static_cast<uint8_t>(ReadBlockPrefix(1));
    case kString: return static_cast<uint8_t>(mLength - 1);
    default: return static_cast<uint8_t>(IntegerValue());
    }
}

int8_t Variant::GetAsInt8() const { return static_cast<int8_t>(GetAsUInt8()); }

int16_t Variant::GetAsInt16() const { return static_cast<int16_t>(GetAsUInt16()); }

uint16_t Variant::GetAsUInt16() const
{
    switch (mType) {
    case kFloat:
    case kDouble: return static_cast<uint16_t>(RoundToInt32(GetAsDouble()));
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob: return static_cast<uint16_t>(ReadBlockPrefix(2));
    case kString: return static_cast<uint16_t>(mLength - 1);
    default: return static_cast<uint16_t>(IntegerValue());
    }
}

int32_t Variant::GetAsInt32() const
{
    switch (mType) {
    case kFloat:
    case kDouble: return RoundToInt32(GetAsDouble());
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob: return static_cast<int32_t>(ReadBlockPrefix(4));
    case kString: return static_cast<int32_t>(mLength - 1);
    default: return static_cast<int32_t>(IntegerValue());
    }
}

uint32_t Variant::GetAsUInt32() const
{
    switch (mType) {
    case kFloat:
    case kDouble: return static_cast<uint32_t>(RoundToInt64(GetAsDouble()));
    default: return static_cast<uint32_t>(GetAsInt32());
    }
}

int64_t Variant::GetAsInt64() const
{
    switch (mType) {
    case kFloat:
    case kDouble: return RoundToInt64(GetAsDouble());
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob: return static_cast<int64_t>(ReadBlockPrefix(8));
    case kString: return static_cast<int64_t>(mLength) - 1;
    default: return IntegerValue();
    }
}

uint64_t Variant::GetAsUInt64() const
{
    switch (mType) {
    case kFloat:
    case kDouble: return RoundToUInt64(GetAsDouble());
    default: return static_cast<uint64_t>(GetAsInt64());
    }
}

float Variant::GetAsFloat() const
{
    switch (mType) {
    case kFloat: return Inline<float>();
    case kDouble: return static_cast<float>(Inline<double>());
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob:
    case kString: return static_cast<float>(GetAsInt32());
    default:
        if (IsUnsignedType(mType)) return static_cast<float>(static_cast<uint64_t>(IntegerValue()));
        return static_cast<float>(IntegerValue());
    }
}

double Variant::GetAsDouble() const
{
    switch (mType) {
    case kFloat: return Inline<float>();
    case kDouble: return Inline<double>();
    case kBorrowed:
    case kBorrowedHidden:
    case kBlob:
    case kString: return static_cast<double>(GetAsInt64());
    default:
        if (IsUnsignedType(mType)) return static_cast<double>(static_cast<uint64_t>(IntegerValue()));
        return static_cast<double>(IntegerValue());
    }
}

const uint8_t* Variant::GetData(uint32_t& size) const
{
    if (const uint32_t width = InlineWidth(mType)) {
        size = width;
        return mPayload;
    }
    const uint8_t* block = (mType >= kBorrowed && mType <= kArray) ? Block() : nullptr;
    size = block ? mLength : 0;
    return block;
}

const uint8_t* Variant::GetBytes(uint32_t& size) const
{
    if (mType == kBorrowedHidden || mType == kArray) {
        size = 0;
        return nullptr;
    }
    return GetData(size);
}

const char* Variant::GetString() const
{
    return mType == kString ? reinterpret_cast<const char*>(Block()) : nullptr;
}

uint8_t* Variant::AllocateData(uint32_t size) const { return new uint8_t[size]; }

void Variant::FreeData(uint8_t* block) const { delete[] block; }

int32_t Variant::SetArray(const Variant* items, uint32_t count)
{
    if (!items) count = 0;
    // A list of pointers lets both forms share one packer.
    const Variant** pointers = count ? new const Variant*[count] : nullptr;
    for (uint32_t i = 0; i < count; ++i) pointers[i] = &items[i];
    const int32_t result = SetArray(pointers, count);
    delete[] pointers;
    return result;
}

int32_t Variant::SetArray(const Variant* const* items, uint32_t count)
{
    if (!items) count = 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t n = 0;
        if (items[i]) items[i]->GetData(n);
        total += n + kRecordHeaderSize;
    }
    // Record lengths are signed 32-bit; a larger list has no packed form.
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        Clear();
        return kEmpty;
    }
    // Packed before clearing, so this Variant may be one of the items.
    uint8_t* block = total ? AllocateData(static_cast<uint32_t>(total)) : nullptr;
    uint32_t offset = 0;
    for (uint32_t i = 0; i < count; ++i) {
        static const Variant kEmptyItem;
        const Variant& item = items[i] ? *items[i] : kEmptyItem;
        uint32_t n = 0;
        item.GetData(n);
        // A borrowed block without bytes has no record form; it keeps its
        // place as an empty item so the indexes of the others hold.
        const bool noRecord = n == 0 && (item.mType == kBorrowed || item.mType == kBorrowedHidden);
        const QVResult written = VariantToRecord(noRecord ? kEmptyItem : item, block + offset,
                                                 static_cast<uint32_t>(total) - offset);
        offset += static_cast<uint32_t>(written);
    }
    Clear();
    SetBlock(block, static_cast<uint32_t>(total), kArray);
    return kArray;
}

int32_t Variant::GetArrayItem(uint32_t index, Variant& item) const
{
    if (&item == this) {
        Variant copy;
        const int32_t result = GetArrayItem(index, copy);
        item.Assign(copy);
        return result;
    }
    item.Clear();
    const uint8_t* block = Block();
    if (mType != kArray || !block) return -1;
    uint32_t target = 0;
    if (index >= WalkRecords(block, mLength, index, &target)) return -1;
    // A record the decoder refuses (an unknown type, say) leaves the item empty.
    (void)VariantFromRecord(item, block + target, mLength - target);
    return 0;
}

uint32_t Variant::WalkRecords(const uint8_t* data, uint32_t size, uint32_t index, uint32_t* offset)
{
    uint32_t count = 0;
    uint32_t at = 0;
    while (data && size - at >= kRecordHeaderSize) {
        const uint32_t length = ReadLE32(data + at);
        if (length < kRecordHeaderSize || length > size - at) break;
        if (count == index && offset) {
            *offset = at;
            return count + 1;  // the caller only needs to know the record is there
        }
        ++count;
        at += length;
    }
    return count;
}

bool Variant::operator==(const Variant& other) const
{
    if (mType != other.mType) return false;
    switch (mType) {
    case kEmpty: return true;
    case kFloat: return Inline<float>() == other.Inline<float>();
    case kDouble: return Inline<double>() == other.Inline<double>();
    case kBorrowed:
    case kBorrowedHidden: return Block() == other.Block() && mLength == other.mLength;
    case kBlob:
    case kString:
    case kArray: {
        if (mLength != other.mLength) return false;
        uint32_t n = 0, m = 0;
        const uint8_t* a = GetData(n);
        const uint8_t* b = other.GetData(m);
        if (n != m) return false;
        return n == 0 || std::memcmp(a, b, n) == 0;
    }
    default:
        if (InlineWidth(mType) == 0) return false;
        return IntegerValue() == other.IntegerValue();
    }
}

namespace {

// Empty values first, then numbers, then blocks and texts.
int KindOrder(int32_t type)
{
    if (type == Variant::kEmpty) return 0;
    if (InlineWidth(type) != 0) return 1;
    if (type >= Variant::kBorrowed && type <= Variant::kArray) return 2;
    return 3;
}

}  // namespace

bool Variant::IsLess(const Variant& other) const
{
    const int kind = KindOrder(mType);
    const int otherKind = KindOrder(other.mType);
    if (kind != otherKind) return kind < otherKind;
    if (kind == 1) {
        if (mType == kFloat || mType == kDouble || other.mType == kFloat || other.mType == kDouble)
            return GetAsDouble() < other.GetAsDouble();
        const bool big = mType == kUInt64;
        const bool otherBig = other.mType == kUInt64;
        if (big && otherBig) return GetAsUInt64() < other.GetAsUInt64();
        if (big) return std::cmp_less(GetAsUInt64(), other.IntegerValue());
        if (otherBig) return std::cmp_less(IntegerValue(), other.GetAsUInt64());
        return IntegerValue() < other.IntegerValue();
    }
    if (kind == 2) {
        uint32_t n = 0, m = 0;
        const uint8_t* a = GetData(n);
        const uint8_t* b = other.GetData(m);
        const uint32_t common = n < m ? n : m;
        const int c = common ? std::memcmp(a, b, common) : 0;
        return c != 0 ? c < 0 : n < m;
    }
    return false;
}

bool Variant::IsNegative() const
{
    if (mType == kFloat || mType == kDouble) return GetAsDouble() < 0;
    return IsSignedIntegerType(mType) && IntegerValue() < 0;
}

QVResult VariantToRecord(const Variant& item, uint8_t* target, uint32_t targetSize)
{
    const int32_t type = item.GetType();
    uint32_t n = 0;
    const uint8_t* data = item.GetData(n);
    if ((type == Variant::kBorrowed || type == Variant::kBorrowedHidden) && n == 0) return E_FAIL;
    const uint64_t size = static_cast<uint64_t>(n) + Variant::kRecordHeaderSize;
    if (size > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return E_FAIL;
    if (!target || targetSize < size) return E_FAIL;
    WriteLE32(target, static_cast<uint32_t>(size));
    WriteLE32(target + 4, 1);
    WriteLE32(target + 8, static_cast<uint32_t>(type));
    if (n > 0) std::memcpy(target + Variant::kRecordHeaderSize, data, n);
    return static_cast<QVResult>(size);
}

QVResult VariantFromRecord(Variant& item, const uint8_t* record, uint32_t available)
{
    if (!record || available < Variant::kRecordHeaderSize) return E_FAIL;
    const uint32_t length = ReadLE32(record);
    const uint32_t one = ReadLE32(record + 4);
    const int32_t type = static_cast<int32_t>(ReadLE32(record + 8));
    // The length word is signed: one of 2^31 or more is below a header.
    if (static_cast<int32_t>(length) < static_cast<int32_t>(Variant::kRecordHeaderSize) ||
        length > available || one != 1 || type < 0 || type >= Variant::kTypeCount)
        return E_FAIL;
    if (length == Variant::kRecordHeaderSize) {
        if (type == Variant::kEmpty) {
            item.Clear();
            return S_OK;
        }
        if (type == Variant::kArray) {
            item.SetData(Variant::kArray, nullptr, 0);
            return S_OK;
        }
        return E_FAIL;
    }
    const int32_t decoded =
        item.SetData(type, record + Variant::kRecordHeaderSize, length - Variant::kRecordHeaderSize);
    return (type != Variant::kEmpty && decoded == type) ? S_OK : E_FAIL;
}

}  // namespace QV
