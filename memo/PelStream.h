#pragma once
// Byte streams for the memo's loading and saving: memory and file.
#include <cstdint>
#include <cstdio>
#include <string>

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to Count bytes; returns how many were read.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes Count bytes; false when they could not all be written.
  virtual bool Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Size() const = 0;
  virtual int64_t Position() const = 0;
  virtual void Seek(int64_t Pos) = 0;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string Bytes) : Data(std::move(Bytes)) {}
  int64_t Read(void* Buffer, int64_t Count) override;
  bool Write(const void* Buffer, int64_t Count) override;
  int64_t Size() const override { return static_cast<int64_t>(Data.size()); }
  int64_t Position() const override { return Pos; }
  void Seek(int64_t P) override { Pos = P < 0 ? 0 : P; }
  const std::string& Bytes() const { return Data; }

 private:
  std::string Data;
  int64_t Pos = 0;
};

// A file opened for reading or for writing (created or overwritten).
class TFileStream : public TStream {
 public:
  enum Mode { OpenRead, Create };
  // Throws std::runtime_error ("Cannot open file " + name) when the file cannot be opened.
  TFileStream(const std::string& FileName, Mode M);
  ~TFileStream() override;
  int64_t Read(void* Buffer, int64_t Count) override;
  bool Write(const void* Buffer, int64_t Count) override;
  int64_t Size() const override;
  int64_t Position() const override;
  void Seek(int64_t Pos) override;

 private:
  std::FILE* F = nullptr;
};
