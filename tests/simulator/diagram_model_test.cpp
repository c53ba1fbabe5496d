// The diagram model the SVG and the timing view are both drawn from: which
// cycle each pixel shows, how zoom and pan move the span, and how a run's
// steps fall into columns, dense ones counting their changes.
#include <gtest/gtest.h>

#include "diagram_model.h"
#include "run_record.h"

namespace {

struct ViewCase {
  std::uint64_t total, from, to;
  double x, width;
  std::uint64_t cycle;  // cycle_at(x)
};

TEST(DiagramView, EachPixelShowsTheCycleItsShareOfTheSpanReaches) {
  const ViewCase cases[] = {
      {1000, 0, 1000, 0, 100, 0},
      {1000, 0, 1000, 50, 100, 500},
      {1000, 0, 1000, 99.9, 100, 999},
      {1000, 0, 1000, 100, 100, 999},
      {1000, 0, 1000, 250, 100, 999},
      {1000, 0, 1000, -5, 100, 0},
      {1000, 200, 300, 10, 100, 210},
      {1000, 200, 300, 0, 100, 200},
      {10, 0, 10, 33, 100, 3},
      {std::uint64_t{1} << 40, 0, std::uint64_t{1} << 40, 480, 960, std::uint64_t{1} << 39},
  };
  for (const ViewCase& c : cases) {
    const DiagramView view{c.total, c.from, c.to};
    EXPECT_EQ(c.cycle, view.cycle_at(c.x, c.width)) << c.from << ".." << c.to << " at " << c.x;
    if (c.x < 0 || c.x >= c.width) continue;
    EXPECT_LE(view.x_of(c.cycle, c.width), c.x);
  }
}

struct ZoomCase {
  const char* what;
  DiagramView before;
  double factor, x;
  std::uint64_t from, to;
};

TEST(DiagramView, ZoomKeepsTheCycleUnderThePointerAndStaysWithinTheRun) {
  const ZoomCase cases[] = {
      {"in at the middle", {1000, 0, 1000}, 0.5, 50, 250, 750},
      {"in at the left edge", {1000, 0, 1000}, 0.5, 0, 0, 500},
      {"in at a quarter", {1000, 0, 1000}, 0.5, 25, 125, 625},
      {"out past the run's start", {1000, 100, 200}, 4, 50, 0, 400},
      {"out past the run's end", {1000, 800, 1000}, 2, 100, 600, 1000},
      {"out past the whole run", {1000, 400, 600}, 100, 50, 0, 1000},
      {"no narrower than a few cycles", {1000, 500, 520}, 0.01, 50, 506, 514},
      {"a run shorter than that", {3, 0, 3}, 0.5, 50, 0, 3},
  };
  for (const ZoomCase& c : cases) {
    DiagramView view = c.before;
    view.zoom(c.factor, c.x, 100);
    EXPECT_EQ(c.from, view.from) << c.what;
    EXPECT_EQ(c.to, view.to) << c.what;
  }
  DiagramView view{1000, 100, 200};
  view.pan(-500);
  EXPECT_EQ(0u, view.from);
  view.pan(5000);
  EXPECT_EQ(900u, view.from);
  EXPECT_EQ(1000u, view.to);
}

// Output 0 toggles every cycle from cycle 100 to 110, otherwise one step
// every 100 cycles; the run ends at cycle 1000. Address 1 sets output 0 and
// address 0 clears it, their lengths varying as LONG_DELAY's would not: the
// record must find each start all the same.
RunRecord toggling_run() {
  RunRecord record;
  std::uint32_t outputs = 0;
  for (std::uint64_t cycle = 0; cycle < 1000;) {
    const std::uint64_t length = cycle >= 100 && cycle < 110 ? 1 : 100;
    Step step;
    step.cycle = cycle;
    step.cycles = length;
    step.address = outputs;
    step.outputs = outputs;
    record.step(step);
    if (cycle >= 100 && cycle < 110) outputs ^= 1;
    cycle += length;
  }
  RunEnd end;
  end.cycle = 1000;
  record.finish(end, 5000);
  return record;
}

TEST(RunRecordModel, ChangesWithinOnePixelAreOneCountedBandUntilZoomedApart) {
  const RunRecord record = toggling_run();
  const PlotArea plot{72, 100};  // ten cycles a pixel
  const DiagramModel whole = record.model(DiagramView::whole(record.total_cycles()), plot, 100);
  ASSERT_EQ(1u, whole.traces.size());
  ASSERT_EQ(2u, whole.traces[0].pieces.size());
  const TracePiece& band = whole.traces[0].pieces[0];
  EXPECT_EQ(TracePiece::Band, band.kind);
  EXPECT_DOUBLE_EQ(82, band.x0);
  EXPECT_DOUBLE_EQ(83, band.x1);
  EXPECT_TRUE(band.high_after);
  EXPECT_EQ(TracePiece::Edge, whole.traces[0].pieces[1].kind);  // the last change, at cycle 110
  EXPECT_FALSE(whole.traces[0].pieces[1].high_after);
  const DiagramColumn* column = whole.column_at(82.5);
  ASSERT_NE(nullptr, column);
  EXPECT_EQ(9u, column->bin.changes);  // cycles 101 to 109: the step at 100 leaves the outputs as they were
  EXPECT_EQ(nullptr, whole.column_at(71));
  EXPECT_EQ(nullptr, whole.column_at(173));

  DiagramView close = DiagramView::whole(record.total_cycles());
  close.from = 100;
  close.to = 120;  // five pixels a cycle
  OutputLabels labels;
  labels.names[0] = "laser";
  const DiagramModel zoomed = record.model(close, plot, 100, &labels);
  EXPECT_EQ("laser", zoomed.traces[0].label);
  EXPECT_EQ("out0", whole.traces[0].label);
  EXPECT_EQ("1us to 1.2us", zoomed.span_label);
  ASSERT_EQ(10u, zoomed.traces[0].pieces.size());
  for (const TracePiece& piece : zoomed.traces[0].pieces) EXPECT_EQ(TracePiece::Edge, piece.kind);
  EXPECT_DOUBLE_EQ(77, zoomed.traces[0].pieces[0].x0);
  EXPECT_EQ(105u, record.entry_at(105)->cycle);
  EXPECT_EQ(110u, record.entry_at(150)->cycle);
}

TEST(RunRecordModel, AWideSpanIsDrawnFromTheSummaryWithTheSameCounts) {
  // Output 0 toggles every 16 cycles through the first half of 2^20 cycles.
  RunRecord record;
  constexpr std::uint64_t kTotal = std::uint64_t{1} << 20;
  for (std::uint64_t cycle = 0; cycle < kTotal; cycle += 16) {
    Step step;
    step.cycle = cycle;
    step.cycles = 16;
    step.outputs = cycle < kTotal / 2 ? static_cast<std::uint32_t>(cycle / 16 % 2) : 0;
    step.address = step.outputs + (cycle < kTotal / 2 ? 0 : 2);
    record.step(step);
  }
  RunEnd end;
  end.cycle = kTotal;
  record.finish(end, kTotal);
  const DiagramModel model = record.model(DiagramView::whole(kTotal), PlotArea{72, 100}, 100);
  ASSERT_EQ(1u, model.traces.size());
  ASSERT_EQ(2u, model.traces[0].pieces.size());  // the band, then the fall as the toggling stops
  EXPECT_EQ(TracePiece::Band, model.traces[0].pieces[0].kind);
  EXPECT_NEAR(122, model.traces[0].pieces[0].x1, 1);
  EXPECT_EQ(TracePiece::Edge, model.traces[0].pieces[1].kind);
  EXPECT_NEAR(655, model.column_at(80)->bin.changes, 2);
  EXPECT_EQ(0u, model.column_at(150)->bin.changes);
  EXPECT_EQ(kTotal / 2, record.entry_at(kTotal / 2 + 5)->cycle);
  EXPECT_EQ(2u, record.entry_at(kTotal / 2 + 5)->address);
  EXPECT_EQ(kTotal - 16, record.entry_at(kTotal + 99)->cycle);
}

// A span the axis cannot measure, as a clock too slow to count gives, draws
// a bare axis instead of ticks without end; an ordinary one about eight.
TEST(DiagramModelAxis, TicksAreBoundedWhateverTheSpan) {
  const std::vector<TimedBin> bins{{0, 1, DiagramBin{}}};
  for (double clock_mhz : {0.0, 1e-306, 1e-305}) {  // times: none at all, infinite, 1e308 ns
    DiagramSource source;
    source.bins = &bins;
    source.clock_mhz = clock_mhz;
    EXPECT_LE(build_diagram(source, PlotArea{}).ticks.size(), 21u) << clock_mhz;
  }
  DiagramSource source;
  source.bins = &bins;
  source.span = 400;
  const DiagramModel model = build_diagram(source, PlotArea{});
  ASSERT_EQ(9u, model.ticks.size());
  EXPECT_EQ("4000 ns", model.ticks.back().label);
}

}  // namespace
