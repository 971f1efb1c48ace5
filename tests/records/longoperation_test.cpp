#include "records/longoperation.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

TEST(LongOperation, ProgressCrossesThreadsAndCancelStopsTheWork) {
    std::atomic<bool> reported{false};
    BackgroundOperation<int> operation([&reported](ProgressSink& progress) {
        progress.Begin(QStringLiteral("작업 파일 로드"), 100);
        progress.Detail(QStringLiteral("주문 번호: N-1"));
        progress.Step(3);
        progress.InnerStep(1, 2);
        reported = true;
        int units = 0;
        while (progress.KeepGoing() && units < 100000) {
            std::this_thread::sleep_for(1ms);
            ++units;
        }
        progress.End();
        return units;
    });
    while (!reported)
        std::this_thread::sleep_for(1ms);
    const SharedProgress::Snapshot during = operation.Progress().Take();
    EXPECT_EQ(during.title, QStringLiteral("작업 파일 로드"));
    EXPECT_EQ(during.detail, QStringLiteral("주문 번호: N-1"));
    EXPECT_EQ(during.position, 3);
    EXPECT_EQ(during.range, 100);
    EXPECT_EQ(during.innerPosition, 1);
    EXPECT_EQ(during.innerRange, 2);
    EXPECT_TRUE(during.inStep);

    operation.Cancel();
    EXPECT_TRUE(operation.WaitFor(60s));
    EXPECT_TRUE(operation.IsFinished());
    EXPECT_LT(operation.Take(), 100000);
    const SharedProgress::Snapshot after = operation.Progress().Take();
    EXPECT_TRUE(after.cancelled);
    EXPECT_FALSE(after.inStep);
}

TEST(LongOperation, DestroyingAnUnfinishedOperationCancelsAndWaits) {
    std::atomic<bool> ended{false};
    {
        BackgroundOperation<bool> operation([&ended](ProgressSink& progress) {
            while (progress.KeepGoing())
                std::this_thread::sleep_for(1ms);
            ended = true;
            return true;
        });
    }
    EXPECT_TRUE(ended);
}
