#pragma once
// The tagged value in which parameter values, descriptors and ranges travel.
// Variants cross the device-control library's interface by address, so the
// field order and the order of the virtual operations below are fixed:
//   vtable pointer, payload (8 bytes), length (u32), type code (i32).
// On 64-bit the table pointer fills the first 8 bytes, so the object stays
// 24 bytes with the payload at offset 8.
// This header needs nothing beyond the C++ library and Result.h, so plain
// shared libraries (the simulated keyboard) can use it.
#include <cstddef>
#include <cstdint>

#include "Result.h"

namespace QV {

class Variant {
public:
    enum Type : int32_t {
        kEmpty = 0,
        kBool = 1,
        kInt8 = 2,
        kUInt8 = 3,
        kInt16 = 4,
        kUInt16 = 5,
        kInt32 = 6,
        kUInt32 = 7,
        kFloat = 8,
        kDouble = 9,
        kInt64 = 10,
        kUInt64 = 11,
        kBorrowed = 12,        // block owned by someone else
        kBorrowedHidden = 13,  // like 12, but GetBytes does not expose it
        kBlob = 14,            // owned bytes
        kString = 15,          // owned narrow text, length counts the NUL
        kArray = 16,           // owned packed record list
    };
    static constexpr int32_t kTypeCount = 17;
    // Bytes of a record header: {length, 1, type}.
    static constexpr uint32_t kRecordHeaderSize = 12;

    Variant() = default;
    Variant(const Variant& other) { Assign(other); }
    Variant& operator=(const Variant& other)
    {
        Assign(other);
        return *this;
    }

    explicit Variant(bool v) { SetBool(v); }
    explicit Variant(int8_t v) { SetInt8(v); }
    explicit Variant(uint8_t v) { SetUInt8(v); }
    explicit Variant(int16_t v) { SetInt16(v); }
    explicit Variant(uint16_t v) { SetUInt16(v); }
    explicit Variant(int32_t v) { SetInt32(v); }
    explicit Variant(uint32_t v) { SetUInt32(v); }
    explicit Variant(float v) { SetFloat(v); }
    explicit Variant(double v) { SetDouble(v); }
    explicit Variant(int64_t v) { SetInt64(v); }
    explicit Variant(uint64_t v) { SetUInt64(v); }
    explicit Variant(const char* text) { SetString(text); }

    // Virtual operations in their fixed slot order.
    virtual ~Variant();
    virtual bool GetAsBool() const;
    virtual uint8_t GetAsUInt8() const;
    virtual int16_t GetAsInt16() const;
    virtual int32_t GetAsInt32() const;
    virtual int64_t GetAsInt64() const;
    virtual int8_t GetAsInt8() const;
    virtual uint16_t GetAsUInt16() const;
    virtual uint32_t GetAsUInt32() const;
    virtual uint64_t GetAsUInt64() const;
    virtual float GetAsFloat() const;
    virtual double GetAsDouble() const;
    // The value bytes (inline or the block) and their count.
    virtual const uint8_t* GetData(uint32_t& size) const;
    // As GetData, but nothing for hidden borrowed blocks and packed lists.
    virtual const uint8_t* GetBytes(uint32_t& size) const;
    // The text of type 15, else null.
    virtual const char* GetString() const;
    virtual uint8_t* AllocateData(uint32_t size) const;
    virtual void FreeData(uint8_t* block) const;

    int32_t GetType() const { return mType; }
    uint32_t GetLength() const { return mLength; }
    bool IsEmpty() const { return mType == kEmpty; }

    void Clear();
    // Copies other; owned blocks are duplicated, borrowed ones shared.
    // Returns the new type code.
    int32_t Assign(const Variant& other);

    void SetBool(bool v);
    void SetInt8(int8_t v);
    void SetUInt8(uint8_t v);
    void SetInt16(int16_t v);
    void SetUInt16(uint16_t v);
    void SetInt32(int32_t v);
    void SetUInt32(uint32_t v);
    void SetFloat(float v);
    void SetDouble(double v);
    void SetInt64(int64_t v);
    void SetUInt64(uint64_t v);
    // Type 12 or 13 pointing at a block that must outlive this Variant.
    void SetBorrowed(const void* block, uint32_t length, bool hidden = false);
    // Type 14 with an owned copy; length 0 still holds an (empty) block.
    void SetBlob(const void* bytes, uint32_t length);
    // Type 15 with an owned copy of the text and its NUL.
    void SetString(const char* text);
    // Decodes a value of the given type from its record data; returns the
    // type the Variant now has (0 when the data does not fit the type).
    int32_t SetData(int32_t type, const void* bytes, uint32_t length);

    // Packs the items as a type-16 list of records; returns 16.
    int32_t SetArray(const Variant* items, uint32_t count);
    int32_t SetArray(const Variant* const* items, uint32_t count);
    // Decodes record `index` of a type-16 list into item: 0, or -1 for no
    // list or an index at or past the end of the walk. A record the decoder
    // refuses gives 0 and an empty item.
    int32_t GetArrayItem(uint32_t index, Variant& item) const;
    // The whole records at the front of a packed list. The walk stops at a
    // record length below a header or one that runs past the end, so the
    // records before a damaged one stay readable. With `offset`, the walk ends
    // at record `index`: `offset` receives where it starts and the answer is
    // index + 1; without it, the answer is the count.
    static uint32_t WalkRecords(const uint8_t* data, uint32_t size, uint32_t index = UINT32_MAX,
                                uint32_t* offset = nullptr);

    bool operator==(const Variant& other) const;
    // Ordering used to keep value lists sorted. Numbers (types 1-11) compare
    // by value, blocks and texts (12-16) bytewise with the shorter first when
    // one is a prefix of the other; values of different kinds (empty, number,
    // block) order by kind in that order.
    bool IsLess(const Variant& other) const;
    // True for a signed integer, float or double value below zero; false for
    // every other type.
    bool IsNegative() const;

private:
    alignas(8) uint8_t mPayload[8] = {};
    uint32_t mLength = 0;
    int32_t mType = kEmpty;

    template <class V>
    void SetInline(int32_t type, V value);
    template <class V>
    V Inline() const;
    uint8_t* Block() const;
    void SetBlock(uint8_t* block, uint32_t length, int32_t type);
    // Up to n (at most 8) leading block bytes, little-endian, zero-extended.
    uint64_t ReadBlockPrefix(uint32_t n) const;
    int64_t IntegerValue() const;
};

// Writes item as one record {length, 1, type, data}. Returns the bytes
// written, or E_FAIL (nothing written) when the target is too small or the
// item has no record form.
[[nodiscard]] QVResult VariantToRecord(const Variant& item, uint8_t* target, uint32_t targetSize);
// Reads one record from at most `available` bytes. 0, or E_FAIL for a
// malformed record.
[[nodiscard]] QVResult VariantFromRecord(Variant& item, const uint8_t* record, uint32_t available);

}  // namespace QV
