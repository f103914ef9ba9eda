// Why reading ended early, what the status bar notes after a read, and times as text.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "interact/plot_facts.h"

namespace kestrel::interact {
namespace {

using reader::ReadStatus;
using reader::StopReason;

TEST(PlotFacts, EarlyEndsAndWhichAreToldAtOnce) {
    // Stop reason, characters dropped, the file changed; the end and whether it is told at once.
    const std::tuple<StopReason, int, bool, EarlyEnd, bool> rows[] = {
        {StopReason::EndOfFile, 0, false, EarlyEnd::None, false},
        {StopReason::Cancelled, 0, false, EarlyEnd::None, false},
        {StopReason::SegmentLimit, 0, false, EarlyEnd::SegmentLimit, true},
        {StopReason::PlotLimit, 0, true, EarlyEnd::PlotLimit, true},
        {StopReason::OutOfMemory, 0, true, EarlyEnd::OutOfMemory, true},
        {StopReason::EndOfFile, 0, true, EarlyEnd::FileChanged, true},
        {StopReason::PageFeed, 0, false, EarlyEnd::PageFeed, false},
        {StopReason::PageFeed, 0, true, EarlyEnd::FileChanged, true},
        {StopReason::BadPen, 0, false, EarlyEnd::BadPen, false},
        {StopReason::Overflow, 0, false, EarlyEnd::Overflow, false},
        {StopReason::FileChanged, 0, false, EarlyEnd::FileChanged, true},
        {StopReason::EndOfFile, 1, false, EarlyEnd::CharLimit, true},
        {StopReason::SegmentLimit, 1, false, EarlyEnd::SegmentLimit, true},
    };
    for (const auto& [stop, dropped, changed, end, told] : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(stop) << " " << dropped << " " << changed);
        reader::ReadResult result;
        result.stop = stop;
        result.charsDropped = dropped;
        EXPECT_EQ(EarlyEndOf(result, changed), end);
        EXPECT_EQ(TellsAtOnce(end), told);
    }
}

TEST(PlotFacts, NotesOfARead) {
    // Bytes, status, segments on the second plot; the note.
    const std::tuple<int, ReadStatus, int, ReadNote> rows[] = {
        {0, ReadStatus::Read, 0, ReadNote::EmptyFile},    {12, ReadStatus::Read, 0, ReadNote::NothingDrawn},
        {12, ReadStatus::Read, 3, ReadNote::None},        {0, ReadStatus::CannotOpen, 0, ReadNote::None},
        {12, ReadStatus::NoDelimiter, 0, ReadNote::None},
    };
    for (const auto& [bytes, status, segments, note] : rows) {
        reader::PlotStore store;
        store.SetSlotCount(3);
        store.PlotTotal = 2;
        store.plots[2].LineCount = segments;
        reader::ReadResult result;
        result.status = status;
        EXPECT_EQ(NoteOfRead(static_cast<std::uint64_t>(bytes), result, store), note)
            << bytes << " " << static_cast<int>(status) << " " << segments;
    }
}

TEST(PlotFacts, DurationsToTheNearestSecond) {
    const std::pair<double, const char*> rows[] = {
        {0, "0:00:00"},        {2.4, "0:00:02"}, {2.5, "0:00:03"}, {3723.5, "1:02:04"},
        {360000, "100:00:00"}, {-1, "-"},        {NAN, "-"},       {INFINITY, "-"},
    };
    for (const auto& [seconds, text] : rows) EXPECT_EQ(DurationText(seconds), text) << seconds;
}

}  // namespace
}  // namespace kestrel::interact
