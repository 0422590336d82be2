#pragma once
// String lists: a small Qt-free base with the usual whole-text, stream and file
// operations, a plain list, and the memo's two views of its text (one string per
// paragraph, one per display line). The memo's views store no text: every
// operation goes through the memo's selection and edit path.
#include <cstdint>
#include <string>
#include <vector>

class TStream;
class TPelMemoCore;

class TStrings {
 public:
  virtual ~TStrings() = default;
  virtual std::string Get(int32_t I) = 0;
  virtual int32_t GetCount() = 0;
  virtual void Put(int32_t I, const std::string& S);
  // Returns the index of the added string.
  virtual int32_t Add(const std::string& S);
  virtual void Delete(int32_t I) = 0;
  virtual void Insert(int32_t I, const std::string& S) = 0;
  virtual void Clear();
  // Every string followed by CR LF.
  virtual std::string GetTextStr();
  // Lines end at CR LF, CR or LF.
  virtual void SetTextStr(const std::string& Text);
  virtual void SetUpdateState(bool Updating) { (void)Updating; }
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream);
  virtual void Assign(TStrings& Source);

  void BeginUpdate();
  void EndUpdate();
  // Throw std::runtime_error when the file cannot be opened or written.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  int32_t Count() { return GetCount(); }

 private:
  int32_t UpdateNesting = 0;
};

class TStringList : public TStrings {
 public:
  std::string Get(int32_t I) override;
  int32_t GetCount() override { return static_cast<int32_t>(Items.size()); }
  void Put(int32_t I, const std::string& S) override;
  void Delete(int32_t I) override;
  void Insert(int32_t I, const std::string& S) override;
  void Clear() override { Items.clear(); }
  std::vector<std::string> Items;
};

// The whole-text operations shared by the memo's two views.
class TPelMemoStrings : public TStrings {
 public:
  explicit TPelMemoStrings(TPelMemoCore& M) : Memo(&M) {}
  std::string GetTextStr() override;
  void SetTextStr(const std::string& Text) override;
  void SetUpdateState(bool Updating) override;
  void Clear() override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void Assign(TStrings& Source) override;

  TPelMemoCore* Memo;
};

// One string per paragraph.
class TPelParaStrings : public TPelMemoStrings {
 public:
  using TPelMemoStrings::TPelMemoStrings;
  std::string Get(int32_t I) override;
  int32_t GetCount() override;
  void Put(int32_t I, const std::string& S) override;
  int32_t Add(const std::string& S) override;
  void Delete(int32_t I) override;
  void Insert(int32_t I, const std::string& S) override;
};

// One string per display line: the memo's Lines.
class TPelLinesStrings : public TPelMemoStrings {
 public:
  using TPelMemoStrings::TPelMemoStrings;
  std::string Get(int32_t I) override;
  int32_t GetCount() override;
  void Put(int32_t I, const std::string& S) override;
  int32_t Add(const std::string& S) override;
  void Delete(int32_t I) override;
  void Insert(int32_t I, const std::string& S) override;
};
