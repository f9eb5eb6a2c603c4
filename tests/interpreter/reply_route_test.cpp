#include <gtest/gtest.h>

#include "session_fixture.h"

namespace qv {
namespace {

using ReplyTest = FreshSession;

class RecordingRoute : public ReplyRoute {
public:
    void deliver(std::string reply) override { delivered.push_back(std::move(reply)); }
    std::vector<std::string> delivered;
};

// A server client gets each command's reply whole, once: a handler's mid-command flush leaves it
// pending, and what waits for the delivery (releasing a solver) runs only after the route has it.
TEST_F(ReplyTest, AWholeReplyRouteGetsOneReplyPerCommandBeforeTheActionsThatWaitForIt) {
    RecordingRoute route;
    std::vector<size_t> deliveredWhenActionRan;
    {
        ReplyRouteScope scope(&route);
        reply("first\n");
        flushReply();
        EXPECT_TRUE(route.delivered.empty());
        afterReplyDelivered([&] { deliveredWhenActionRan.push_back(route.delivered.size()); });
        reply("second\n");
        deliverReply();
        deliverReply();  // an empty reply is still one reply
    }
    EXPECT_EQ(route.delivered, (std::vector<std::string>{"first\nsecond\n", ""}));
    EXPECT_EQ(deliveredWhenActionRan, std::vector<size_t>{1});
    EXPECT_EQ(interpreter().replyRoute, nullptr);
}

// The reply limit holds to the byte and for each command alone: 64511 lines of 1024 bytes and
// "END" fit after earlier pending replies; 64512 lines fill the limit and "END" passes it. The
// command's own part is then replaced by the error, and what came before it stays.
TEST_F(ReplyTest, AReplyStopsAtTheSizeLimitWithAnError) {
    static_assert(kMaxReplyBytes == 64512u * 1024u);
    const std::string text(1023, 'x');
    reply("earlier\n");
    dispatchCommand(tokenizeLine("repeat 64511 " + text));
    EXPECT_EQ(takeReply().size(), 8 + kMaxReplyBytes - 1024 + 4);
    reply("earlier\n");
    dispatchCommand(tokenizeLine("repeat 64512 " + text));
    EXPECT_EQ(takeReply(), "earlier\nERROR: repeat reply too long\n");
}

}  // namespace
}  // namespace qv
