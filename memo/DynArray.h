#pragma once
// A growable array of fixed-size records kept in 32768-byte blocks: growing never
// moves a record and no single allocation grows with the number of records.
#include <cstdint>
#include <memory>
#include <vector>

class TDynArray2 {
 public:
  static constexpr int32_t BlockSize = 32768;

  TDynArray2(int16_t ItemSize, int16_t ItemStride);
  virtual ~TDynArray2();
  TDynArray2(const TDynArray2&) = delete;
  TDynArray2& operator=(const TDynArray2&) = delete;

  // Address of item I; "List index out of bounds" outside 0 .. Count-1.
  void* GetItem(int32_t I) const;
  // Address of item I without the range check (the caller knows it is in use).
  void* ItemAt(int32_t I) const {
    return Blocks[static_cast<size_t>(I / ItemsPerBlock)].get() + (I % ItemsPerBlock) * ItemStride;
  }
  void SetCapacity(int32_t N);
  void SetCount(int32_t N);
  int32_t Add(const void* Record);
  void GetItemCopy(int32_t I, void* Record) const;
  void PutItem(int32_t I, const void* Record);
  // Moves items From .. From+N-1 to To .. To+N-1 (the ranges may overlap).
  void MoveItems(int32_t From, int32_t To, int32_t N);

  int32_t GetCount() const { return Count; }
  int32_t GetCapacity() const { return Capacity; }
  int32_t BlockCount() const { return static_cast<int32_t>(Blocks.size()); }

  const int16_t ItemSize;
  const int16_t ItemStride;
  const int16_t ItemsPerBlock;

 protected:
  std::vector<std::unique_ptr<uint8_t[]>> Blocks;
  int32_t Count = 0;
  int32_t Capacity = 0;
};
