// Retiring an object while its methods run: deleted by the outermost call, never earlier, never twice.
#include "framework/core/Retire.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct TProbe : TRetirable {
    std::vector<const char*>* Log;
    std::function<void(TProbe&, int)> OnCall;
    explicit TProbe(std::vector<const char*>* ALog) : Log(ALog) {}
    ~TProbe() override { Log->push_back("deleted"); }
    void OnRetire() noexcept override { Log->push_back("retired"); }

    // A method that may call into the object again (a nested message loop would) before it goes on.
    void Call(int Depth)
    {
        TCallScope call(*this);
        if (OnCall)
            OnCall(*this, Depth);
        if (!Retired())
            Log->push_back("went on");
    }
};

} // namespace

TEST(TRetirableTest, RetiredInsideNestedCallsIsDeletedWhenTheOutermostReturns)
{
    std::vector<const char*> log;
    auto* probe = new TProbe(&log);
    probe->OnCall = [&](TProbe& p, int Depth) {
        if (Depth < 2) {
            p.Call(Depth + 1);
            return;
        }
        Retire(&p);
        Retire(&p); // a second release changes nothing
        EXPECT_EQ(p.RunningCalls(), 3);
        EXPECT_TRUE(p.Retired());
    };
    probe->Call(0);
    EXPECT_EQ(log, (std::vector<const char*>{"retired", "deleted"}));

    // Outside any call the object goes at once.
    log.clear();
    Retire(new TProbe(&log));
    EXPECT_EQ(log, (std::vector<const char*>{"retired", "deleted"}));
}
