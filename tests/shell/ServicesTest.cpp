// The main window's services: the exact bytes of every kind of simulated data set,
// their file names, the failure path (one message, the run stopped), the help page
// and the About box.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <clocale>

#include "core/PelmorTypes.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/AboutPelmor.h"
#include "shell/HelpWindow.h"
#include "shell/PelmorMain.h"
#include "app/Startup.h"
#include "tests/core/CommaLocale.h"
#include "tests/shell/GuiFixture.h"

namespace {
class ServicesTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    // 3 species x 2 sites.
    Pelmor->MainGrid->SetTable({{"species", "site1", "site2"}, {"sp1", "1", "0"}, {"sp2", "0", "1"}, {"sp3", "1", "1"}},
                               3);
  }
  void TearDown() override {
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
};

Matrix ThreeByTwo() {
  Matrix m = MakeMatrix(3, 4);
  m[1][1] = 1;
  m[2][2] = 1;
  m[1][3] = 1;
  m[2][3] = 1;
  return m;
}
}  // namespace

TEST_F(ServicesTest, IntegerMatrixFilesAndTheirNames) {
  const Matrix m = ThreeByTwo();
  EXPECT_TRUE(Pelmor->SaveSimulation_2(1, 0, m));
  const QByteArray expected = "species site1 site2\r\nsp1 1 0\r\nsp2 0 1\r\nsp3 1 1\r\n";
  EXPECT_EQ(Read("Sim1.txt"), expected);
  EXPECT_TRUE(Pelmor->SaveSimulation_2(1, 3, m));
  EXPECT_EQ(Read("Sim1_3.txt"), expected);
  EXPECT_TRUE(Pelmor->SaveSimulation_2(12, -2, m));
  EXPECT_TRUE(QFile::exists(Dir.filePath("Sim12_-2.txt")));

  // A file of the same name is replaced.
  Matrix other = m;
  other[1][1] = 7;
  EXPECT_TRUE(Pelmor->SaveSimulation_2(1, 0, other));
  EXPECT_EQ(Read("Sim1.txt"), "species site1 site2\r\nsp1 7 0\r\nsp2 0 1\r\nsp3 1 1\r\n");

  // Indexed from 0: grid cell (c, k) is M[c - 1][k - 1].
  Matrix zeroBased = MakeMatrix(2, 3);
  zeroBased[0][0] = 5;
  zeroBased[1][0] = -6;
  zeroBased[0][2] = 8;
  EXPECT_TRUE(Pelmor->SaveSimulation_4(2, 0, zeroBased));
  EXPECT_EQ(Read("Sim2.txt"), "species site1 site2\r\nsp1 5 -6\r\nsp2 0 0\r\nsp3 8 0\r\n");
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(ServicesTest, TitlesAreWrittenAsTheDataWriterWritesCells) {
  // Blanks inside a title become "_" (trailing ones too); an empty row title leaves
  // an empty first cell.
  Pelmor->MainGrid->SetTable({{"sp", "a", "  "}, {"x  ", "1", "2"}, {"y", "3", "4"}, {"", "5", "6"}}, 3);
  Matrix m = MakeMatrix(3, 4);
  for (int c = 1; c < 3; ++c)
    for (int k = 1; k < 4; ++k) m[c][k] = (k - 1) * 2 + c;
  EXPECT_TRUE(Pelmor->SaveSimulation_2(1, 0, m));
  EXPECT_EQ(Read("Sim1.txt"), "sp a __\r\nx__ 1 2\r\ny 3 4\r\n 5 6\r\n");

  // A matrix compacted by an analysis is written under the first titles of MainGrid,
  // beyond its compacted size as the matrix holds it.
  Pelmor->MainGrid->SetTable({{"s", "A", "B"}, {"r1", "1", "1"}, {"r2", "0", "1"}}, 3);
  Matrix compacted = MakeMatrix(3, 3);
  compacted[1][1] = 1;
  compacted[2][1] = 1;
  compacted[2][2] = 9;
  EXPECT_TRUE(Pelmor->SaveSimulation_2(4, 0, compacted));
  EXPECT_EQ(Read("Sim4.txt"), "s A B\r\nr1 1 1\r\nr2 0 9\r\n");
}

TEST_F(ServicesTest, SimulatedMatricesWithBlanksAndCommasInTitlesReadBackAsTheyWere) {
  // Titles holding blanks, commas and a line break, and an empty last column title.
  Pelmor->MainGrid->SetTable({{"Corner title", "site 1", "site,2", "s 3,x", ""},
                              {"Bromus hordeaceus", "1", "0", "1", "0"},
                              {"Poa annua, var.", "0", "1", "1", "1"},
                              {"two\nlines", "1", "1", "0", "0"}},
                             5);
  Matrix m = MakeMatrix(5, 4);
  Real_Matrix r = MakeRealMatrix(5, 4);
  Matrix zeroBased = MakeMatrix(4, 3);
  for (int c = 1; c <= 4; ++c)
    for (int k = 1; k <= 3; ++k) {
      m[c][k] = c * 10 + k;
      r[c][k] = c + k / 4.0;
      zeroBased[c - 1][k - 1] = c * 10 + k;
    }
  ASSERT_TRUE(Pelmor->SaveSimulation_2(1, 0, m));
  ASSERT_TRUE(Pelmor->SaveSimulation_3(2, 0, r));
  ASSERT_TRUE(Pelmor->SaveSimulation_4(3, 0, zeroBased));
  const QStringList rowTitles{"Corner_title", "Bromus_hordeaceus", "Poa_annua__var.", "two_lines"};
  const QStringList colTitles{"Corner_title", "site_1", "site_2", "s_3_x", ""};
  // Each file read back by the data reader (into the main grid, as a batch would).
  const TStringGrid& g = *Pelmor->MainGrid;
  for (const char* name : {"Sim1.txt", "Sim2.txt", "Sim3.txt"}) {
    Pelmor->FileName = Dir.filePath(name);
    Pelmor->OpenBatchFile();
    ASSERT_TRUE(Pelmor->RunEnabled) << name;
    ASSERT_EQ(g.RowCount(), 4) << name;
    ASSERT_EQ(g.ColCount(), 5) << name;
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g.Cells(c, 0), colTitles[c]) << name;
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(g.Cells(0, k), rowTitles[k]) << name;
      for (int c = 1; c <= 4; ++c) {
        const QString expected = std::string(name) == "Sim2.txt" ? QString::number(c + k / 4.0) : QString::number(c * 10 + k);
        EXPECT_EQ(g.Cells(c, k), expected) << name << " cell " << c << ", " << k;
      }
    }
  }
  // The two-column files: names and labels holding blanks stay one cell each.
  ASSERT_TRUE(Pelmor->SaveTwoColumnsToFile_Labels(4, 2, std::vector<QString>{"group a", "b,c"}, {1, 2}, "Group name",
                                                  "y value"));
  EXPECT_EQ(Read("Sim4.txt"), "species Group_name y_value\r\nspecies1 group_a 1.00000\r\nspecies2 b_c 2.00000\r\n");
  ASSERT_TRUE(Pelmor->SaveTwoColumnsToFile(5, 1, {1}, {2}, "Area km", "Elev,m"));
  EXPECT_EQ(Read("Sim5.txt"), "species Area_km Elev_m\r\nspecies1 1.00000 2.00000\r\n");
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(ServicesTest, RealMatrixUsesGeneralFormat) {
  Pelmor->MainGrid->SetTable({{"sp", "s1", "s2", "s3", "s4"}, {"a", "0", "0", "0", "0"}, {"b", "0", "0", "0", "0"}}, 5);
  Real_Matrix m = MakeRealMatrix(5, 3);
  m[1][1] = 0.5;
  m[2][1] = 1.0 / 3.0;
  m[3][1] = 2.0;
  m[4][1] = -0.25;
  m[1][2] = 1e20;
  m[2][2] = 1.5e-7;
  m[3][2] = 123456.75;
  m[4][2] = 0.00001;
  EXPECT_TRUE(Pelmor->SaveSimulation_3(3, 0, m));
  EXPECT_EQ(Read("Sim3.txt"), "sp s1 s2 s3 s4\r\n"
                              "a 0.5 0.333333333333333 2 -0.25\r\n"
                              "b 1E20 1.5E-7 123456.75 0.00001\r\n");
  m[1][1] = 0;
  m[2][1] = 100;
  m[3][1] = 123456789012345.0;
  m[4][1] = 1234567890123456.0;
  EXPECT_TRUE(Pelmor->SaveSimulation_3(3, 1, m));
  EXPECT_EQ(Read("Sim3_1.txt").split('\n').at(1), "a 0 100 123456789012345 1.23456789012346E15\r");
}

TEST_F(ServicesTest, GridFileIsADataFile) {
  TStringGrid grid;
  grid.SetTable({{"t", "c1"}, {"r1", "two words"}}, 2);
  EXPECT_TRUE(Pelmor->SaveSimulation(5, 2, grid));
  EXPECT_EQ(Read("Sim5_2.txt"), "t c1\r\nr1 two_words\r\n");
}

TEST_F(ServicesTest, ColumnFilesExactBytes) {
  EXPECT_TRUE(Pelmor->SaveNumberLineToFile(1, 2, {1.5, 22.125, 99.0}));
  EXPECT_EQ(Read("Sim1.txt"), "species size\r\nspecies1 1.50000\r\nspecies2 22.12500\r\n");

  EXPECT_TRUE(Pelmor->SaveTwoColumnsToFile(2, 3, {1, 2.5, -3}, {0.125, 1e8, 0}, "Area", "Elev"));
  EXPECT_EQ(Read("Sim2.txt"), "species Area Elev\r\n"
                              "species1 1.00000 0.12500\r\n"
                              "species2 2.50000 1E8\r\n"
                              "species3 -3.00000 0.00000\r\n");

  EXPECT_TRUE(Pelmor->SaveTwoColumnsToFile_Real_Integer(3, 2, {0.5, 7}, {4, -1}, "x", "run"));
  EXPECT_EQ(Read("Sim3.txt"), "species x run\r\nspecies1 0.50000 4\r\nspecies2 7.00000 -1\r\n");

  EXPECT_TRUE(Pelmor->SaveTwoColumnsToFile_Labels(4, 2, std::vector<QString>{"g1", "g2"}, {3.25, 4}, "group", "y"));
  EXPECT_EQ(Read("Sim4.txt"), "species group y\r\nspecies1 g1 3.25000\r\nspecies2 g2 4.00000\r\n");
  EXPECT_TRUE(Pelmor->SaveTwoColumnsToFile_Labels(5, 1, std::vector<std::string>{"A"}, {1}, "g", "y"));
  EXPECT_EQ(Read("Sim5.txt"), "species g y\r\nspecies1 A 1.00000\r\n");

  // No species: only the header line.
  EXPECT_TRUE(Pelmor->SaveNumberLineToFile(6, 0, {}));
  EXPECT_EQ(Read("Sim6.txt"), "species size\r\n");
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(ServicesTest, DecimalMarkIsAPointInAnyLocale) {
  const QLocale oldLocale;
  bool wroteReal = false, wroteLine = false;
  {
    // Decimal commas for the C library, the C++ streams and Qt alike.
    const TCommaLocale comma;
    ASSERT_TRUE(comma.Active) << comma.Error;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QLocale().toString(0.5), QStringLiteral("0,5"));
    Real_Matrix r = MakeRealMatrix(3, 4);
    r[1][1] = 0.5;
    wroteReal = Pelmor->SaveSimulation_3(1, 0, r);
    wroteLine = Pelmor->SaveNumberLineToFile(2, 1, {2.75});
    QLocale::setDefault(oldLocale);
  }
  EXPECT_TRUE(wroteReal);
  EXPECT_TRUE(wroteLine);
  EXPECT_EQ(Read("Sim1.txt"), "species site1 site2\r\nsp1 0.5 0\r\nsp2 0 0\r\nsp3 0 0\r\n");
  EXPECT_EQ(Read("Sim2.txt"), "species size\r\nspecies1 2.75000\r\n");
}

TEST_F(ServicesTest, WriteFailureShowsOneMessageAndStopsTheRun) {
  // A directory where the file should go: it cannot be written.
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Sim1.txt"));
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Sim2.txt"));
  const Matrix m = ThreeByTwo();
  int saved = 0;
  // A run's loop: it stops at the first iteration after the failure.
  for (int i = 1; i <= 5; ++i) {
    if (Pelmor->AbortRequested) break;
    if (Pelmor->SaveSimulation_2(i, 0, m)) ++saved;
  }
  EXPECT_EQ(saved, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});

  // Further calls while the run is stopping write nothing and say nothing.
  EXPECT_FALSE(Pelmor->SaveNumberLineToFile(3, 1, {1.0}));
  EXPECT_FALSE(QFile::exists(Dir.filePath("Sim3.txt")));
  EXPECT_EQ(Script.Messages.size(), 1);

  // The same for every writer.
  Pelmor->AbortRequested = false;
  EXPECT_FALSE(Pelmor->SaveTwoColumnsToFile(2, 1, {1}, {2}, "a", "b"));
  EXPECT_TRUE(Pelmor->AbortRequested);
  Pelmor->AbortRequested = false;
  TStringGrid grid;
  EXPECT_FALSE(Pelmor->SaveSimulation(1, 0, grid));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Script.Messages, (QStringList{"Error writing file.", "Error writing file.", "Error writing file."}));
}

TEST_F(ServicesTest, DataSetsThatDoNotFitAreRefused) {
  Matrix small = MakeMatrix(2, 4);  // one site too few for the grid
  EXPECT_FALSE(Pelmor->SaveSimulation_2(1, 0, small));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(QFile::exists(Dir.filePath("Sim1.txt")));
  Pelmor->AbortRequested = false;
  Matrix shortRows = MakeMatrix(2, 2);  // zero-based, one species too few
  EXPECT_FALSE(Pelmor->SaveSimulation_4(1, 0, shortRows));
  Pelmor->AbortRequested = false;
  EXPECT_FALSE(Pelmor->SaveSimulation_3(1, 0, MakeRealMatrix(3, 3)));
  Pelmor->AbortRequested = false;
  EXPECT_FALSE(Pelmor->SaveTwoColumnsToFile(1, 3, {1, 2, 3}, {1, 2}, "a", "b"));
  Pelmor->AbortRequested = false;
  EXPECT_FALSE(Pelmor->SaveNumberLineToFile(1, -1, {}));
  EXPECT_EQ(Script.Messages.size(), 5);
  for (const QString& m : Script.Messages) EXPECT_EQ(m, "Error saving simulation...Aborting.");
  // Exactly the size of the grid is enough.
  Pelmor->AbortRequested = false;
  EXPECT_TRUE(Pelmor->SaveSimulation_4(1, 0, MakeMatrix(2, 3)));
}

namespace {
QString OpenedPath;
bool OpenSucceeds = false;
bool RecordOpen(const QString& Path) {
  OpenedPath = Path;
  return OpenSucceeds;
}
}  // namespace

TEST_F(ServicesTest, HelpFindsItsPageAndAlwaysShowsIt) {
  QTemporaryDir home, program;
  ASSERT_TRUE(home.isValid() && program.isValid());
  const QString oldHome = Pelmor->HomeDir, oldProgram = Pelmor->ProgramDir;
  Pelmor->HomeDir = home.path();
  Pelmor->ProgramDir = program.path();
  SetOpenDocumentHandler(&RecordOpen);
  const QString work = QDir::currentPath();
  auto canonical = [](const QString& P) { return QFileInfo(P).canonicalFilePath(); };
  auto writePage = [](const QString& Path, const char* Text) {
    QFile f(Path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("<html><head><title>Help</title></head><body><h1>") + Text + "</h1></body></html>");
  };
  const QString homePage = QDir(home.path()).filePath("MainFrame.htm");
  const QString programPage = QDir(program.path()).filePath("MainFrame.htm");
  if (HelpWindow) HelpWindow->hide();

  // Found nowhere: the error box, nothing opened, the directory restored.
  OpenSucceeds = true;
  OpenedPath.clear();
  Pelmor->HelpTopics1->trigger();
  EXPECT_EQ(Script.Messages, QStringList{"Could not execute MainFrame.htm"});
  EXPECT_TRUE(OpenedPath.isEmpty());
  EXPECT_EQ(QDir::currentPath(), work);
  EXPECT_EQ(Pelmor->WorkDir, work);
  EXPECT_TRUE(!HelpWindow || !HelpWindow->isVisible());

  // Only beside the executable: that page is opened.
  writePage(programPage, "Beside the program");
  Script.Messages.clear();
  Pelmor->RunHelp();
  EXPECT_EQ(canonical(OpenedPath), canonical(programPage));
  EXPECT_TRUE(Script.Messages.isEmpty());
  // In the start directory as well: the start directory's page comes first.
  writePage(homePage, "In the start directory");
  Pelmor->RunHelp();
  EXPECT_EQ(canonical(OpenedPath), canonical(homePage));
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(QDir::currentPath(), work);
  EXPECT_TRUE(!HelpWindow || !HelpWindow->isVisible());

  // The desktop cannot open it: the program's own help window shows the page.
  OpenSucceeds = false;
  Pelmor->RunHelp();
  EXPECT_TRUE(Script.Messages.isEmpty());
  ASSERT_NE(HelpWindow, nullptr);
  EXPECT_TRUE(HelpWindow->isVisible());
  EXPECT_EQ(HelpWindow->windowTitle(), "Pelmor -- Help");
  EXPECT_EQ(canonical(HelpWindow->Browser->source().toLocalFile()), canonical(homePage));
  EXPECT_EQ(HelpWindow->Browser->toPlainText().trimmed(), "In the start directory");
  EXPECT_EQ(QDir::currentPath(), work);
  // One window: the next request reuses it, now with the page beside the executable.
  THelpWindow* const first = HelpWindow;
  ASSERT_TRUE(QFile::remove(homePage));
  Pelmor->RunHelp();
  EXPECT_EQ(HelpWindow, first);
  EXPECT_EQ(HelpWindow->Browser->toPlainText().trimmed(), "Beside the program");
  HelpWindow->CloseButton->click();
  EXPECT_FALSE(HelpWindow->isVisible());
  EXPECT_TRUE(Script.Messages.isEmpty());

  // The start directory is gone.
  OpenedPath.clear();
  Pelmor->HomeDir = home.path() + "/missing";
  Pelmor->RunHelp();
  EXPECT_EQ(Script.Messages, QStringList{"Unable to load Help. Directory error."});
  EXPECT_TRUE(OpenedPath.isEmpty());
  EXPECT_EQ(QDir::currentPath(), work);

  // Without a handler the real opener is used; with the page nowhere it is never
  // reached and the error box shows.
  ASSERT_TRUE(QFile::remove(programPage));
  SetOpenDocumentHandler(nullptr);
  Script.Messages.clear();
  Pelmor->HomeDir = home.path();
  Pelmor->RunHelp();
  EXPECT_EQ(Script.Messages, QStringList{"Could not execute MainFrame.htm"});
  EXPECT_FALSE(HelpWindow->isVisible());
  Pelmor->HomeDir = oldHome;
  Pelmor->ProgramDir = oldProgram;
}

TEST_F(ServicesTest, ProgramsOwnHelpPageReadsInTheHelpWindow) {
  // The page the build puts beside the program: it loads as a page with its title and
  // its contents links, not as raw text.
  const QString page = QDir(QCoreApplication::applicationDirPath()).filePath("MainFrame.htm");
  ASSERT_TRUE(QFile::exists(page)) << page.toStdString();
  ShowHelpWindow(page, Pelmor);
  ASSERT_NE(HelpWindow, nullptr);
  EXPECT_EQ(HelpWindow->Browser->documentTitle(), "Pelmor help");
  const QString text = HelpWindow->Browser->toPlainText();
  EXPECT_TRUE(text.startsWith("Pelmor\n")) << text.left(40).toStdString();
  EXPECT_TRUE(text.contains("Batch mode"));
  EXPECT_FALSE(text.contains("<h1>"));
  HelpWindow->hide();
}

TEST_F(ServicesTest, AboutBoxShowsDecodedPictureAndTexts) {
  ASSERT_NE(PelmorAbout, nullptr);
  Pelmor->About1->trigger();
  ASSERT_FALSE(Script.Log.empty());
  EXPECT_EQ(Script.Log.back().Kind, "modal");
  EXPECT_EQ(Script.Log.back().Text, "PelmorAbout");

  EXPECT_EQ(PelmorAbout->windowTitle(), "Version 7.71");
  EXPECT_EQ(PelmorAbout->Picture.size(), QSize(360, 220));
  ASSERT_NE(PelmorAbout->Image1->pixmap().isNull(), true);
  // The picture is dark blue at the top and green at the bottom.
  const QColor top = PelmorAbout->Picture.pixelColor(180, 2);
  const QColor bottom = PelmorAbout->Picture.pixelColor(180, 215);
  EXPECT_GT(top.blue(), top.red());
  EXPECT_GT(bottom.green(), bottom.red());
  EXPECT_EQ(PelmorAbout->ProductName->text(), "Pelmor");
  EXPECT_EQ(PelmorAbout->Version->text(), "Build 021605");
  EXPECT_EQ(PelmorAbout->OKButton->text(), "OK");
  EXPECT_TRUE(PelmorAbout->OKButton->isDefault());
  for (QLineEdit* e : {PelmorAbout->Contact1, PelmorAbout->Contact2}) {
    EXPECT_TRUE(e->isReadOnly());
    EXPECT_FALSE(e->hasFrame());
    EXPECT_EQ(e->toolTip(), "Right click to copy");
    EXPECT_FALSE(e->text().isEmpty());
  }
}

TEST(JpegDecoding, BadDataGivesNullImageNotACrash) {
  QFile f(":/about.jpg");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray good = f.readAll();
  const QImage image = DecodeJpeg(good);
  EXPECT_EQ(image.size(), QSize(360, 220));
  EXPECT_TRUE(DecodeJpeg({}).isNull());
  EXPECT_TRUE(DecodeJpeg("not a picture at all").isNull());
  EXPECT_TRUE(DecodeJpeg(good.left(100)).isNull());  // cut short inside the headers
  // Cut short inside the picture data: libjpeg fills the rest, never reads past the end.
  const QImage half = DecodeJpeg(good.left(good.size() / 2));
  EXPECT_TRUE(half.isNull() || half.size() == QSize(360, 220));
  QByteArray damaged = good;
  for (int i = 200; i < 400; ++i) damaged[i] = static_cast<char>(0xFF);
  const QImage fromDamaged = DecodeJpeg(damaged);  // null or a picture, never a crash
  EXPECT_TRUE(fromDamaged.isNull() || fromDamaged.size() == QSize(360, 220));
}
