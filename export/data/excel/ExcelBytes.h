// ExcelBytes: little-endian values read from and appended to byte arrays, with the bounds
// checks every reader of untrusted records goes through.
#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstring>
#include <string>

namespace morvane::excelbytes {

inline quint8 U8(const QByteArray& data, int at) {
    return static_cast<quint8>(data.at(at));
}
inline quint16 U16(const QByteArray& data, int at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}
inline quint32 U32(const QByteArray& data, int at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}
inline double F64(const QByteArray& data, int at) {
    const quint64 bits = qFromLittleEndian<quint64>(data.constData() + at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
//! True when `count` bytes from `at` lie inside `data`.
inline bool Has(const QByteArray& data, qsizetype at, qsizetype count) {
    return at >= 0 && count >= 0 && at <= data.size() && count <= data.size() - at;
}

inline void Put8(QByteArray& out, unsigned value) {
    out.append(static_cast<char>(value & 0xFF));
}
inline void Put16(QByteArray& out, unsigned value) {
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    out.append(bytes, 2);
}
inline void Put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
inline void PutF64(QByteArray& out, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    out.append(bytes, 8);
}
//! Up to N bytes built on the stack and appended at once to a std::string: a QByteArray
//! append costs far more than the few bytes it copies, and cells are written by the million.
//!
//!   LocalBytes<16> cell;
//!   cell.Put16(row);
//!   cell.PutF64(value);
//!   cell.AppendTo(out);
template <int N>
struct LocalBytes {
    char data[N];
    int size = 0;

    void Put8(unsigned value) { data[size++] = static_cast<char>(value & 0xFF); }
    void Put16(unsigned value) {
        qToLittleEndian(static_cast<quint16>(value & 0xFFFF), data + size);
        size += 2;
    }
    void Put32(quint32 value) {
        qToLittleEndian(value, data + size);
        size += 4;
    }
    void PutF64(double value) {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        qToLittleEndian(bits, data + size);
        size += 8;
    }
    void AppendTo(std::string& out) const { out.append(data, static_cast<size_t>(size)); }
};

//! One record: number, length, data.
inline void PutRecord(QByteArray& out, quint16 number, const QByteArray& data) {
    Put16(out, number);
    Put16(out, static_cast<unsigned>(data.size()));
    out.append(data);
}

}  // namespace morvane::excelbytes
