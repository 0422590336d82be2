#include "memo/DynArray.h"

#include <cstring>

#include "memo/PelMemoTypes.h"

TDynArray2::TDynArray2(int16_t Size, int16_t Stride)
    : ItemSize(Size), ItemStride(Stride < Size ? Size : Stride), ItemsPerBlock(static_cast<int16_t>(BlockSize / ItemStride)) {}

TDynArray2::~TDynArray2() = default;

void* TDynArray2::GetItem(int32_t I) const {
  if (I < 0 || I >= Count) throw EListError(ListIndexError);
  return ItemAt(I);
}

void TDynArray2::SetCapacity(int32_t N) {
  // Truncating division: N = 0 still keeps one block.
  int32_t need = (N - 1) / ItemsPerBlock + 1;
  if (need < 1) need = 1;
  while (static_cast<int32_t>(Blocks.size()) > need) Blocks.pop_back();
  while (static_cast<int32_t>(Blocks.size()) < need) Blocks.emplace_back(new uint8_t[BlockSize]);
  Capacity = ItemsPerBlock * static_cast<int32_t>(Blocks.size());
}

void TDynArray2::SetCount(int32_t N) {
  if (N < 0) N = 0;
  if (N != Count && N > Capacity) SetCapacity(N);
  Count = N;
}

int32_t TDynArray2::Add(const void* Record) {
  SetCount(Count + 1);
  std::memcpy(ItemAt(Count - 1), Record, static_cast<size_t>(ItemSize));
  return Count - 1;
}

void TDynArray2::GetItemCopy(int32_t I, void* Record) const { std::memcpy(Record, GetItem(I), static_cast<size_t>(ItemSize)); }

void TDynArray2::PutItem(int32_t I, const void* Record) { std::memcpy(GetItem(I), Record, static_cast<size_t>(ItemSize)); }

void TDynArray2::MoveItems(int32_t From, int32_t To, int32_t N) {
  if (N <= 0 || From == To) return;
  if (To > From) {
    for (int32_t k = N - 1; k >= 0; --k) std::memcpy(ItemAt(To + k), ItemAt(From + k), static_cast<size_t>(ItemSize));
  } else {
    for (int32_t k = 0; k < N; ++k) std::memcpy(ItemAt(To + k), ItemAt(From + k), static_cast<size_t>(ItemSize));
  }
}
