// Memory and time of reading data files, and of transposing the grid read from one.
// Each case runs in a child process of its own, so that its peak resident size
// (getrusage) is its own: the counters give the file's size, the peak above the
// child's resident size at its start, that peak over the file's size, the resident
// size left once the case has returned and, for the grid, the resident size while the
// grid holds the cells.
//   reader:  bytes read and split into the compact table (what File > Open keeps while
//            it checks the file);
//   grid:    the same plus the grid model filled from it (what the window holds
//            afterwards: each distinct text once, a 4-byte index per cell);
//   refused: a file over the cell limit, refused;
//   transpose: Edit > "Transpose matrix" on the grid read from the file. The file is
//            read into the grid first, untimed; the time and the peak are the
//            transpose's own (peak_MB: the peak above the resident size when it
//            starts, the high-water mark reset there; peak_with_grid_MB: the same peak
//            above the child's size at its start, the grid included), held_MB what
//            the grid holds afterwards.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/StringGrid.h"
#include "shell/DataFiles.h"

namespace {
double ResidentMB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A file of Rows lines of Cols cells: "0" and "1" alternating, titles in the first
// row and column, the corner title TitleBytes long when given.
std::string MakeFile(const char* Name, int Cols, int Rows, size_t TitleBytes = 0) {
  const std::string path = std::string("/tmp/pelmor_bench_") + Name + ".txt";
  std::ofstream out(path, std::ios::binary);
  std::string line;
  for (int r = 0; r < Rows; ++r) {
    line.clear();
    if (r == 0) line += TitleBytes ? std::string(TitleBytes, 'T') : std::string("species");
    else {
      line += 's';
      line += std::to_string(r);
    }
    for (int c = 1; c < Cols; ++c) line += (r + c) % 2 ? " 1" : " 0";
    line += "\r\n";
    out << line;
  }
  return path;
}

// The resident size's high-water mark (VmHWM), or a negative number when unknown.
double HighWaterMB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kB = 0;
      status >> kB;
      return kB / 1024.0;
    }
    status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return -1.0;
}

// Resets the high-water mark to the present resident size.
bool ResetHighWater() {
  std::ofstream refs("/proc/self/clear_refs");
  refs << "5";
  refs.flush();
  return static_cast<bool>(refs);
}

struct TFigures {
  double PeakMB = 0, TotalPeakMB = 0, AfterMB = 0, HeldMB = 0, Seconds = 0;
  int State = 0;
};

enum TWhat { ReaderOnly, WithGrid, Transposed };

TFigures Measure(const std::string& Path, TWhat What) {
  int fd[2];
  if (pipe(fd) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fd[0]);
    TFigures f;
    const double base = ResidentMB();
    QElapsedTimer t;
    if (What == Transposed) {
      {
        TStringGridModel grid;
        {
          TReadResult read = ReadMatrixFile(QString::fromStdString(Path));
          f.State = read.State;
          if (read.State == TReadResult::Ok) grid.SetCells(GridCells(read.Cells));
        }
        const double start = ResidentMB();
        const bool reset = ResetHighWater();
        t.start();
        grid.Transpose();
        f.Seconds = t.nsecsElapsed() / 1e9;
        benchmark::DoNotOptimize(grid.Cell(1, 1));
        const double high = HighWaterMB();
        f.PeakMB = reset && high >= 0 ? high - start : -1.0;
        f.TotalPeakMB = reset && high >= 0 ? high - base : -1.0;
        f.HeldMB = ResidentMB() - base;
      }
      f.AfterMB = ResidentMB() - base;
      if (write(fd[1], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) _exit(1);
      _exit(0);
    }
    t.start();
    {
      TReadResult read = ReadMatrixFile(QString::fromStdString(Path));
      f.State = read.State;
      if (What == WithGrid && read.State == TReadResult::Ok) {
        TStringGridModel grid;
        grid.SetCells(GridCells(read.Cells));
        read = TReadResult();  // the reader's table goes once the grid has its cells
        benchmark::DoNotOptimize(grid.Cell(1, 1));
        f.HeldMB = ResidentMB() - base;
      }
    }
    f.Seconds = t.nsecsElapsed() / 1e9;
    f.AfterMB = ResidentMB() - base;
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    f.PeakMB = static_cast<double>(ru.ru_maxrss) / 1024.0 - base;
    if (write(fd[1], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) _exit(1);
    _exit(0);
  }
  close(fd[1]);
  TFigures f;
  if (read(fd[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) f = {};
  close(fd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return f;
}

void Report(benchmark::State& State, const std::string& Path, TWhat What) {
  TFigures f;
  for (auto _ : State) {
    f = Measure(Path, What);
    State.SetIterationTime(f.Seconds);
  }
  const double fileMB = static_cast<double>(QFile(QString::fromStdString(Path)).size()) / (1024.0 * 1024.0);
  State.counters["file_MB"] = fileMB;
  State.counters["peak_MB"] = f.PeakMB;
  State.counters["peak_per_file"] = f.PeakMB / fileMB;
  State.counters["after_MB"] = f.AfterMB;
  if (What != ReaderOnly) State.counters["held_MB"] = f.HeldMB;
  if (What == Transposed) State.counters["peak_with_grid_MB"] = f.TotalPeakMB;
  State.counters["accepted"] = f.State == TReadResult::Ok;
  std::remove(Path.c_str());
}

// 20 MB: 10,000 rows of 1,000 cells, exactly the 10 million cell limit.
void BM_Accepted10MCells_Reader(benchmark::State& S) { Report(S, MakeFile("10m", 1000, 10000), ReaderOnly); }
void BM_Accepted10MCells_Grid(benchmark::State& S) { Report(S, MakeFile("10m", 1000, 10000), WithGrid); }
// The grid of that file transposed: 1,000 rows of 10,000 cells.
void BM_Accepted10MCells_Transpose(benchmark::State& S) { Report(S, MakeFile("10m", 1000, 10000), Transposed); }
// 20 MB, one column more: 10,010,000 cells, refused.
void BM_Refused10MCells(benchmark::State& S) { Report(S, MakeFile("over", 1001, 10000), ReaderOnly); }
// 250 MiB of cells, refused by their count.
void BM_Refused250MiB(benchmark::State& S) { Report(S, MakeFile("250mib", 13107, 10000), ReaderOnly); }
// One title of 1 MB over a small matrix.
void BM_OneMegabyteTitle_Grid(benchmark::State& S) { Report(S, MakeFile("title", 10, 10, 1 << 20), WithGrid); }
}  // namespace

BENCHMARK(BM_Accepted10MCells_Reader)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Accepted10MCells_Grid)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Accepted10MCells_Transpose)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refused10MCells)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refused250MiB)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneMegabyteTitle_Grid)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
