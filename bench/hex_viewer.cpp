// Hex viewer costs: one screen's paint for small and huge buffers, filling 2 MiB byte by byte,
// and paging through 2 MiB with a repaint per page. Runs on the offscreen platform.
#include "controls/hex_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 600;
constexpr std::uint32_t kTwoMiB = 2u << 20;

void Fill(tw::CHexViewer& viewer, std::uint32_t size) {
  viewer.Clear();
  for (std::uint32_t i = 0; i < size; ++i) {
    viewer.AppendByte(static_cast<std::uint8_t>(i * 31), i);
  }
  viewer.SetLength(size);
}

void PaintOneScreen(benchmark::State& state) {
  tw::CHexViewer viewer;
  viewer.resize(kWidth, kHeight);
  Fill(viewer, static_cast<std::uint32_t>(state.range(0)));
  QScrollBar* bar = viewer.verticalScrollBar();
  bar->setSliderPosition(bar->maximum() / 2);  // mid-buffer, where a naive paint would walk the most
  QImage image(viewer.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    viewer.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["rows"] = viewer.PaintedRows();
}
BENCHMARK(PaintOneScreen)->Arg(1 << 10)->Arg(kTwoMiB)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);

void AppendByteTwoMiB(benchmark::State& state) {
  tw::CHexViewer viewer;
  for (auto _ : state) {
    Fill(viewer, kTwoMiB);
    benchmark::DoNotOptimize(viewer.GetData());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kTwoMiB);
}
BENCHMARK(AppendByteTwoMiB)->Unit(benchmark::kMillisecond);

void PageDownThroughTwoMiB(benchmark::State& state) {
  tw::CHexViewer viewer;
  viewer.resize(kWidth, kHeight);
  Fill(viewer, kTwoMiB);
  QImage image(viewer.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
  QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  std::int64_t pages = 0;
  for (auto _ : state) {
    QCoreApplication::sendEvent(&viewer, &home);
    std::uint32_t top = 0;
    do {
      top = viewer.Model().TopOffset();
      QCoreApplication::sendEvent(&viewer, &pageDown);
      viewer.viewport()->render(&image);
      ++pages;
    } while (viewer.Model().TopOffset() != top);
  }
  state.counters["pages"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kAvgIterations);
  state.SetItemsProcessed(pages);
}
BENCHMARK(PageDownThroughTwoMiB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
