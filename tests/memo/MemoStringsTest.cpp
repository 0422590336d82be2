// The memo's text as lists of paragraphs and display lines, files and streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoStrings.h"
#include "memo/PelStream.h"

namespace {

void LoadText(TPelMemoCore& M, const std::string& Bytes) {
  TMemoryStream s(Bytes);
  M.LoadTextFromStream(s);
}

struct Views {
  TPelMemoCore M;
  TPelParaStrings Pars{M};
  TPelLinesStrings Lines{M};
};

std::string TempPath(const char* Name) {
  return (std::filesystem::temp_directory_path() / (std::string("pelmor_memo_") + Name)).string();
}

}  // namespace

TEST(MemoStrings, CountsLeaveOutAnEmptyLastLine) {
  Views v;
  EXPECT_EQ(v.Pars.GetCount(), 0) << "an empty memo has no strings";
  EXPECT_EQ(v.Lines.GetCount(), 0);
  LoadText(v.M, "a\r\nb\r\n");
  EXPECT_EQ(v.M.GetParCount(), 3);
  EXPECT_EQ(v.Pars.GetCount(), 2);
  EXPECT_EQ(v.Lines.GetCount(), 2);
  LoadText(v.M, "a\r\nb");
  EXPECT_EQ(v.Pars.GetCount(), 2);
  EXPECT_EQ(v.Lines.GetCount(), 2);
  EXPECT_EQ(v.Lines.Get(1), "b");
  EXPECT_THROW(v.Lines.Get(2), EListError);
  EXPECT_THROW(v.Pars.Get(5), EListError);
}

TEST(MemoStrings, AddReturnsTheIndexOfTheAddedLine) {
  Views v;
  EXPECT_EQ(v.Lines.Add("s"), 0);
  EXPECT_EQ(v.M.GetText(), "s\r\n") << "the empty last paragraph takes s and a break";
  EXPECT_EQ(v.Lines.Add("t"), 1);
  EXPECT_EQ(v.M.GetText(), "s\r\nt\r\n");
  EXPECT_EQ(v.Lines.GetCount(), 2);
  EXPECT_EQ(v.M.GetSelStart(), v.M.GetTextLength()) << "the caret goes to the end";

  Views p;
  LoadText(p.M, "x");
  EXPECT_EQ(p.Pars.Add("y"), 1) << "appended after a non-empty last paragraph";
  EXPECT_EQ(p.M.GetText(), "x\r\ny");
  EXPECT_EQ(p.Pars.Add(""), 2);
  EXPECT_EQ(p.M.GetText(), "x\r\ny\r\n");
  EXPECT_EQ(p.Pars.Add("z"), 2);
  EXPECT_EQ(p.M.GetText(), "x\r\ny\r\nz\r\n");
  EXPECT_EQ(p.Pars.Get(2), "z");
}

TEST(MemoStrings, PutChangesOneLineAndNothingAtTheCount) {
  Views v;
  LoadText(v.M, "one\r\ntwo\r\nthree");
  v.Lines.Put(1, "2");
  EXPECT_EQ(v.M.GetText(), "one\r\n2\r\nthree");
  v.Lines.Put(3, "four");
  EXPECT_EQ(v.M.GetText(), "one\r\n2\r\nthree") << "Put at the count changes nothing";
  v.Pars.Put(0, "1");
  EXPECT_EQ(v.M.GetText(), "1\r\n2\r\nthree");
  // Writing a paragraph beyond the end appends the missing empty ones.
  v.Pars.Put(4, "five");
  EXPECT_EQ(v.M.GetText(), "1\r\n2\r\nthree\r\n\r\nfive");
  // A put is an undoable edit of its own.
  v.M.Undo();
  EXPECT_EQ(v.M.GetText(), "1\r\n2\r\nthree\r\n\r\n");
}

TEST(MemoStrings, PutKeepsTheCaretAndSelectionElsewhere) {
  Views v;
  LoadText(v.M, "aa\r\nbb\r\ncc");
  v.M.SetSelStart(7);
  v.M.SetSelLength(-2);  // "b" and the break's CR... selected backwards from the caret
  v.Pars.Put(0, "AAAA");
  EXPECT_EQ(v.M.GetSelStart(), 9) << "shifted by the growth of paragraph 0";
  EXPECT_EQ(v.M.GetSelLength(), -2);
}

TEST(MemoStrings, DeleteAndInsertParagraphs) {
  Views v;
  LoadText(v.M, "a\r\nb\r\nc");
  v.Pars.Delete(1);
  EXPECT_EQ(v.M.GetText(), "a\r\nc");
  v.Pars.Delete(1);
  EXPECT_EQ(v.M.GetText(), "a\r\n") << "the last paragraph is emptied, the break before it stays";
  v.Pars.Insert(0, "z");
  EXPECT_EQ(v.M.GetText(), "z\r\na\r\n");
  v.Pars.Insert(3, "end");
  EXPECT_EQ(v.M.GetText(), "z\r\na\r\n\r\nend");
}

TEST(MemoStrings, DeleteAndInsertDisplayLines) {
  Views v;
  LoadText(v.M, "a\r\nb\r\nc");
  v.Lines.Delete(1);
  EXPECT_EQ(v.M.GetText(), "a\r\nc");
  v.Lines.Delete(5);
  EXPECT_EQ(v.M.GetText(), "a\r\nc") << "beyond the count nothing happens";
  v.Lines.Insert(2, "d");
  EXPECT_EQ(v.M.GetText(), "a\r\nc\r\nd");
  v.Lines.Insert(0, "0");
  EXPECT_EQ(v.M.GetText(), "0\r\na\r\nc\r\nd");
  v.Lines.Insert(9, "x");
  EXPECT_EQ(v.M.GetText(), "0\r\na\r\nc\r\nd");
  v.Lines.Delete(3);
  EXPECT_EQ(v.M.GetText(), "0\r\na\r\nc\r\n");
}

TEST(MemoStrings, LfOnlyTextBySetTextStrAndByLoading) {
  Views v;
  v.Lines.SetTextStr("a\nb\nc");
  EXPECT_EQ(v.M.GetParCount(), 1) << "a lone LF stays a character when text is set";
  EXPECT_EQ(v.M.GetParText(0), "a\nb\nc");
  TMemoryStream s(std::string("a\nb\nc"));
  v.Lines.LoadFromStream(s);
  EXPECT_EQ(v.M.GetParCount(), 3) << "loading takes every kind of break";
  EXPECT_EQ(v.Lines.GetTextStr(), "a\r\nb\r\nc");
  v.Lines.SetTextStr("x\ry\r\nz");
  EXPECT_EQ(v.M.GetParCount(), 3);
  EXPECT_EQ(v.Lines.GetTextStr(), "x\r\ny\r\nz");
}

TEST(MemoStrings, TextAndStreamsUseCrLfWhateverTheLineBreak) {
  Views v;
  v.M.LineBreak = TPelLineBreak::pbLF;
  LoadText(v.M, "a\r\nb");
  EXPECT_EQ(v.Lines.GetTextStr(), "a\r\nb");
  TMemoryStream out;
  v.Lines.SaveToStream(out);
  EXPECT_EQ(out.Bytes(), "a\r\nb") << "no break after the last paragraph";
  LoadText(v.M, "a\r\n");
  TMemoryStream out2;
  v.Lines.SaveToStream(out2);
  EXPECT_EQ(out2.Bytes(), "a\r\n");
  // The memo's own save writes its line break.
  TMemoryStream own;
  v.M.SaveTextToStream(own);
  EXPECT_EQ(own.Bytes(), "a\n");
}

TEST(MemoStrings, FilesRoundTripEveryByte) {
  Views v;
  std::string bytes;
  for (int c = 0; c < 256; ++c)
    if (c != 0 && c != '\r' && c != '\n') bytes.push_back(static_cast<char>(c));
  bytes += "\r\nsecond\r\n";
  const std::string path = TempPath("roundtrip.txt");
  {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
  }
  v.Lines.LoadFromFile(path);
  EXPECT_EQ(v.Lines.GetCount(), 2);
  EXPECT_EQ(v.Lines.Get(1), "second");
  const std::string back = TempPath("roundtrip_back.txt");
  v.Lines.SaveToFile(back);
  std::ifstream g(back, std::ios::binary);
  std::stringstream ss;
  ss << g.rdbuf();
  EXPECT_EQ(ss.str(), bytes);
  std::remove(path.c_str());
  std::remove(back.c_str());
  EXPECT_THROW(v.Lines.LoadFromFile(TempPath("missing/nowhere.txt")), std::runtime_error);
}

TEST(MemoStrings, AssignFromAnotherMemoAndFromAPlainList) {
  Views a, b;
  LoadText(a.M, "x\r\ny");
  b.Lines.Assign(a.Lines);
  EXPECT_EQ(b.M.GetText(), "x\r\ny");
  TStringList list;
  list.Items = {"1", "2", ""};
  b.Lines.Assign(list);
  EXPECT_EQ(b.M.GetText(), "1\r\n2\r\n\r\n");
  TStringList copy;
  copy.Assign(b.Pars);
  EXPECT_EQ(copy.Items, (std::vector<std::string>{"1", "2", ""}));
}

TEST(MemoStrings, UpdatesNestAndChangeOnceAtTheEnd) {
  Views v;
  int changes = 0;
  v.M.OnChange = [&](TPelMemoCore&) { ++changes; };
  v.Lines.BeginUpdate();
  v.Lines.Add("a");
  v.Lines.BeginUpdate();
  v.Lines.Add("b");
  v.Lines.EndUpdate();
  EXPECT_EQ(changes, 0);
  v.Lines.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(v.M.GetUpdateCount(), 0);
  v.M.CheckIntegrity();
  v.Lines.Clear();
  EXPECT_EQ(v.M.GetText(), "");
  EXPECT_EQ(v.Lines.GetCount(), 0);
}

TEST(MemoStrings, ManyAddsThenUndoAll) {
  Views v;
  v.M.SetUndoMaxSpace(1 << 20);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(v.Lines.Add(std::to_string(i)), i);
  EXPECT_EQ(v.Lines.GetCount(), 200);
  EXPECT_EQ(v.Lines.Get(123), "123");
  v.M.CheckIntegrity();
  while (v.M.CanUndo()) v.M.Undo();
  EXPECT_EQ(v.M.GetText(), "");
}
