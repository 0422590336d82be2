#include "memo/PelStream.h"

#include <cstring>
#include <stdexcept>

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t avail = Size() - Pos;
  const int64_t n = Count < avail ? Count : avail;
  if (n <= 0) return 0;
  std::memcpy(Buffer, Data.data() + Pos, static_cast<size_t>(n));
  Pos += n;
  return n;
}

bool TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return true;
  const size_t end = static_cast<size_t>(Pos + Count);
  if (end > Data.size()) Data.resize(end);
  std::memcpy(Data.data() + Pos, Buffer, static_cast<size_t>(Count));
  Pos += Count;
  return true;
}

TFileStream::TFileStream(const std::string& FileName, Mode M) {
  F = std::fopen(FileName.c_str(), M == OpenRead ? "rb" : "wb");
  if (F == nullptr) throw std::runtime_error("Cannot open file " + FileName);
}

TFileStream::~TFileStream() {
  if (F) std::fclose(F);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), F));
}

bool TFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return true;
  return std::fwrite(Buffer, 1, static_cast<size_t>(Count), F) == static_cast<size_t>(Count);
}

int64_t TFileStream::Size() const {
  const long here = std::ftell(F);
  std::fseek(F, 0, SEEK_END);
  const long end = std::ftell(F);
  std::fseek(F, here, SEEK_SET);
  return end;
}

int64_t TFileStream::Position() const { return std::ftell(F); }

void TFileStream::Seek(int64_t Pos) { std::fseek(F, static_cast<long>(Pos), SEEK_SET); }
