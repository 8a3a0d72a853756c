// The dBase file layout, written once. Every offset that the engine reads or
// writes is named here; all multi-byte header numbers are little-endian.
//
// File: header, field descriptors, 0x0D, [field properties, level 7 only],
// then from the header length on the records, then 0x1A.
#pragma once

#include <cstdint>

namespace puente::dbf {

// Header of every level (32 bytes):
// version(1) date YY MM DD(3) records(4) headerLength(2) recordLength(2)
// reserved(2) transaction(1) encryption(1) multiUser(12) mdxFlag(1) ldid(1) reserved(2)
constexpr int kVersion = 0;     // low 3 bits: 3 = III+/IV/5, 4 = level 7; bit 7 = memo file
constexpr int kUpdateYear = 1;  // year - 1900 (some writers: year mod 100)
constexpr int kUpdateMonth = 2;
constexpr int kUpdateDay = 3;
constexpr int kRecordCount = 4;       // uint32, deleted records included
constexpr int kHeaderLength = 8;      // uint16: where the first record starts
constexpr int kRecordLength = 10;     // uint16: 1 (deletion flag) + sum of widths
constexpr int kReserved12 = 12;       // 2 bytes, 0
constexpr int kTransactionFlag = 14;  // incomplete transaction, 0
constexpr int kEncryptionFlag = 15;   // 0
constexpr int kMultiUser = 16;        // 12 bytes, 0
constexpr int kMdxFlag = 28;          // production .MDX present: always written 0
constexpr int kLanguageDriver = 29;   // language driver id (LDID)
constexpr int kReserved30 = 30;       // 2 bytes, 0
constexpr int kHeaderSize = 32;

constexpr std::uint8_t kVersionLevelMask = 0x07;
constexpr std::uint8_t kLevel3 = 3;                    // dBase III+, IV and 5
constexpr std::uint8_t kLevel7 = 4;                    // dBase 7
constexpr std::uint8_t kVersionWritten = 0x03;         // dBase III+/IV without memo
constexpr std::uint8_t kLanguageDriverWritten = 0x58;  // Western European ANSI, code page 1252

// Field descriptor, levels III to 5 (32 bytes from offset 32):
// name(11, zero padded) type(1) reserved(4) width(1) decimals(1) reserved(14)
constexpr int kDescriptorStart3 = 32;
constexpr int kDescriptorSize3 = 32;
constexpr int kFieldName3 = 0;
constexpr int kFieldNameSize3 = 11;
constexpr int kFieldType3 = 11;
constexpr int kFieldWidth3 = 16;
constexpr int kFieldDecimals3 = 17;

// Level 7 header goes on after the 32 common bytes:
// languageDriverName(32) reserved(4), then 48-byte field descriptors:
// name(32, zero padded) type(1) width(1) decimals(1) reserved(2) mdxFlag(1)
// reserved(2) nextAutoincrement(4) reserved(4)
constexpr int kLanguageDriverName7 = 32;
constexpr int kLanguageDriverNameSize7 = 32;
constexpr int kDescriptorStart7 = 68;
constexpr int kDescriptorSize7 = 48;
constexpr int kFieldName7 = 0;
constexpr int kFieldNameSize7 = 32;
constexpr int kFieldType7 = 32;
constexpr int kFieldWidth7 = 33;
constexpr int kFieldDecimals7 = 34;
constexpr int kFieldAutoincrement7 = 42;

constexpr char kHeaderTerminator = 0x0D;  // after the last field descriptor
constexpr char kEndOfFile = 0x1A;         // after the last record
constexpr char kLiveFlag = ' ';           // first byte of a live record
constexpr char kDeletedFlag = '*';        // first byte of a deleted record

// Limits of what this engine creates: dBase IV takes 255 fields of at most
// 254 characters; a field name is at most 10 characters.
constexpr int kMaxFieldsWritten = 255;
constexpr int kMaxCharacterWidth = 254;
constexpr int kMaxFieldNameLength = 10;
constexpr int kMaxRecordLength = 65535;

// Widths of the numeric fields this engine creates.
constexpr int kIntegerWidth = 11;  // N(11,0): "-2147483648" fits
constexpr int kFloatWidth = 20;    // N(20,4)
constexpr int kFloatDecimals = 4;

}  // namespace puente::dbf
