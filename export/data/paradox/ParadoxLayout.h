// The byte layout of a Paradox table as this driver reads and writes it. Everything here was
// written by hand from the published descriptions of the format; no Paradox library is used
// at run time (the tests check our files with pxlib, a reader we did not write).
//
// A table is a file NAME.db; its memo and binary values longer than their leader live in
// NAME.mb (below). Control fields (header, block headers, blob pointers) are little-endian;
// the user data in records is "modified big-endian" (see the codec at the end).
//
//  .db file
//  +--------------------------------------------------------------------------------------+
//  | header (headerSize bytes, a multiple of 2048)                                        |
//  |   0x00 u16 recordSize      0x02 u16 headerSize     0x04 u8 fileType (0 keyed, 2 not)  |
//  |   0x05 u8  blockSize/1024  0x06 u32 numRecords     0x0A u16 nextBlock                 |
//  |   0x0C u16 fileBlocks      0x0E u16 firstBlock     0x10 u16 lastBlock                 |
//  |   0x21 u16 numFields       0x23 u16 keyFields      0x25 u32 encryption (level 3)      |
//  |   0x29 u8  sortOrder       0x39 u8 fileVersion: 3 = 3.0, 4 = 3.5, 5..9 = 4.x,         |
//  |                                                  10, 11 = 5.x, 12 = 7.x               |
//  |   level 4 and later only (0x58..0x77):                                                |
//  |   0x58 u16 0x0100+version  0x5A u16 (same)        0x5C u32 encryption                 |
//  |   0x64 u16 numFields+1     0x6A u16 code page (437, 850, 1252, ...)                   |
//  |   then, from 0x58 (level 3) or 0x78 (level 4+):                                        |
//  |   numFields x { u8 type, u8 size }     field types (kAlpha ... kBytes below)          |
//  |   u32 tableNamePtr, numFields x u32    run-time pointers, written as 0                |
//  |   tableName, 79 bytes (261 at level 7) zero-padded                                    |
//  |   numFields x ASCIIZ field name        in the table's code page                       |
//  |   numFields x u16 field number, ASCIIZ sort order name ("ascii")                      |
//  +--------------------------------------------------------------------------------------+
//  | block 1 at headerSize, block n at headerSize + (n - 1) * blockSize                    |
//  |   0 u16 next block (0: last)  2 u16 previous block  4 i16 addDataSize                 |
//  |   6 records: (addDataSize / recordSize) + 1 of them; addDataSize < 0: none           |
//  |   each record: the fields in order, fixed widths, no gaps                            |
//  +--------------------------------------------------------------------------------------+
//  Blocks form a chain from firstBlock; blocks off the chain (freed) are never read.
//
//  Field widths: A n (text, zero-padded), D 4, S 2, I 4, $ 8, N 8, L 1, T 4, @ 8, + 4,
//  # 17 (the size byte is the number of decimals), Y n; blob fields M/B/F/O/G n = leader
//  (n - 10 bytes: the start of the value) + u32 mbOffset + u32 length + u16 modNumber.
//  mbOffset 0: the whole value is in the leader. Else its low byte is 0xFF for a blob block
//  (type 2) at mbOffset & ~0xFF, or the slot index in a suballocated block (type 3).
//
//  .mb file (4096-byte chunks)
//  +--------------------------------------------------------------------------------------+
//  | chunk 0 header: u8 0, u16 1, u16 modification count, ..., 0x0B u16 0x1000,            |
//  |                 0x0D u16 0x1000, 0x10 u8 0x10, 0x11 u16 64, 0x13 u16 0x0800           |
//  | type 2 block: u8 2, u16 chunks, u32 length, u16 modNumber, data at +9                 |
//  | type 3 block: u8 3, u16 1, 9 bytes, 64 x 5-byte slots at +12: { u8 offset/16,        |
//  |               u8 16-byte units, u16 modNumber, u8 bytes used in the last unit (1..16) }|
//  |               data in 16-byte units from +0x150; slots are used from 63 downwards     |
//  | type 4 block: free                                                                    |
//  +--------------------------------------------------------------------------------------+
#pragma once

#include <QtGlobal>
#include <cstring>

namespace morvane::paradox {

// Field type codes of the header's field list.
enum FieldCode : unsigned char {
    kAlpha = 0x01,
    kDate = 0x02,
    kShort = 0x03,
    kLong = 0x04,
    kCurrency = 0x05,
    kNumber = 0x06,
    kLogical = 0x09,
    kMemo = 0x0C,
    kBlob = 0x0D,
    kFmtMemo = 0x0E,
    kOle = 0x0F,
    kGraphic = 0x10,
    kTime = 0x14,
    kTimestamp = 0x15,
    kAutoInc = 0x16,
    kBcd = 0x17,
    kBytes = 0x18,
};

constexpr int kHeaderFixedLevel3 = 0x58;  //!< field list offset of level 3 tables
constexpr int kHeaderFixedLevel4 = 0x78;  //!< field list offset of level 4 and later
constexpr int kHeaderUnit = 2048;         //!< the header size is a multiple of this
constexpr int kBlockHeader = 6;           //!< next, previous, addDataSize
constexpr int kBlobTail = 10;             //!< mbOffset, length, modNumber after a leader
constexpr int kMbChunk = 4096;
constexpr int kMbSlots = 64;
constexpr int kMbSlotArray = 12;        //!< slots start here in a type 3 block
constexpr int kMbSubDataStart = 0x150;  //!< first data byte of a type 3 block
constexpr int kMbSmallLimit = 2048;     //!< values shorter than this share a type 3 block
constexpr int kMaxFieldName = 25;
constexpr int kMaxFields = 255;
constexpr int kMaxBlocks = 65535;  //!< block numbers are 16-bit

// The Julian day of day 1 of Paradox dates (0001-01-01 of the proleptic Gregorian calendar)
// minus one: a date field holds julianDay - kDayBase.
constexpr qint64 kDayBase = 1721425;
constexpr double kMsPerDay = 86400000.0;

inline unsigned Le16(const unsigned char* p) {
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}
inline quint32 Le32(const unsigned char* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline void PutLe16(unsigned char* p, unsigned v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void PutLe32(unsigned char* p, quint32 v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Record data codec. Integers are big-endian with the sign bit inverted, so that all zero
// bytes (the smallest value) mean "blank" (Null). Floating-point values are the IEEE bits
// big-endian, with the sign bit set for positive numbers and every bit inverted for
// negative ones. A blank field is all zeros for every type.

inline bool IsBlank(const unsigned char* p, int width) {
    for (int i = 0; i < width; ++i)
        if (p[i] != 0) return false;
    return true;
}

//! The integer of a D, S, I, +, T or L field. REQUIRES: !IsBlank(p, width), width 1..8.
inline qint64 DecodeInt(const unsigned char* p, int width) {
    quint64 bits = 0;
    for (int i = 0; i < width; ++i) bits = (bits << 8) | p[i];
    const quint64 sign = quint64(1) << (8 * width - 1);
    bits ^= sign;
    if (bits & sign) bits |= ~((sign << 1) - 1);  // sign-extend
    return static_cast<qint64>(bits);
}

inline void EncodeInt(unsigned char* p, int width, qint64 value) {
    quint64 bits = static_cast<quint64>(value);
    bits ^= quint64(1) << (8 * width - 1);
    for (int i = width - 1; i >= 0; --i, bits >>= 8) p[i] = static_cast<unsigned char>(bits);
}

//! The double of an N, $ or @ field. REQUIRES: !IsBlank(p, 8).
inline double DecodeDouble(const unsigned char* p) {
    unsigned char b[8];
    std::memcpy(b, p, 8);
    if (b[0] & 0x80) {
        b[0] &= 0x7F;
    } else {
        for (unsigned char& c : b) c = static_cast<unsigned char>(~c);
    }
    quint64 bits = 0;
    for (unsigned char c : b) bits = (bits << 8) | c;
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

inline void EncodeDouble(unsigned char* p, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    for (int i = 7; i >= 0; --i, bits >>= 8) p[i] = static_cast<unsigned char>(bits);
    if (p[0] & 0x80) {
        for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(~p[i]);
    } else {
        p[0] |= 0x80;
    }
}

}  // namespace morvane::paradox
