#pragma once
// The program's one 8-bit code page, Latin-1: byte n is the character U+00nn, so
// bytes to text and back are lossless. Plain C++, usable below the Qt layer.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The character for a byte.
constexpr char16_t Latin1ToChar(unsigned char Byte) { return static_cast<char16_t>(Byte); }

// The byte for a character; characters outside Latin-1 become Fallback.
constexpr unsigned char CharToLatin1(char16_t Ch, unsigned char Fallback = '?') {
  return Ch <= 0xFF ? static_cast<unsigned char>(Ch) : Fallback;
}

inline std::u16string Latin1ToUtf16(std::string_view Bytes) {
  std::u16string out(Bytes.size(), u'\0');
  for (size_t i = 0; i < Bytes.size(); ++i) out[i] = Latin1ToChar(static_cast<unsigned char>(Bytes[i]));
  return out;
}

inline std::string Utf16ToLatin1(std::u16string_view Text, unsigned char Fallback = '?') {
  std::string out(Text.size(), '\0');
  for (size_t i = 0; i < Text.size(); ++i) out[i] = static_cast<char>(CharToLatin1(Text[i], Fallback));
  return out;
}

// Upper case within Latin-1: a-z, and the accented small letters U+00E0 .. U+00FE
// except the division sign U+00F7. Letters whose capital lies outside Latin-1
// (sharp s, micro sign, y with diaeresis) stay as they are.
constexpr unsigned char Latin1Upper(unsigned char Byte) {
  if (Byte >= 'a' && Byte <= 'z') return static_cast<unsigned char>(Byte - 32);
  if (Byte >= 0xE0 && Byte <= 0xFE && Byte != 0xF7) return static_cast<unsigned char>(Byte - 32);
  return Byte;
}
