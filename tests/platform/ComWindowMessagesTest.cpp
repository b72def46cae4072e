// Posted messages and window subclassing; variants, the property bag and the class registry.
#include "platform/Com.h"
#include "platform/WindowMessages.h"
#include "support/WaveTestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace Platform;

TEST(WindowMessages, PostedFromAnotherThreadAreHandledOnTheLoopInOrder) {
    MessageWindow window;
    std::vector<intptr_t> seen;
    std::thread::id handler;
    window.SetWindowProc([&](HWnd, uint32_t message, intptr_t wParam, intptr_t) {
        if (message == WM_USER + 1) seen.push_back(wParam);
        handler = std::this_thread::get_id();
        return intptr_t{0};
    });
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i)
            EXPECT_TRUE(PostMessage(window.Handle(), WM_USER + 1, i, 0));
    });
    poster.join();
    EXPECT_TRUE(seen.empty());
    TestSupport::Pump();
    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(i)], i);
    EXPECT_EQ(handler, std::this_thread::get_id());
}

// The windows of a thread share one queue: the order of posting holds across windows, a
// message posted by a handler waits for those already queued, and a window closed by a
// handler loses its waiting messages.
TEST(WindowMessages, WindowsOfAThreadShareOneOrderedQueue) {
    MessageWindow first, second;
    auto third = std::make_unique<MessageWindow>();
    std::vector<std::pair<HWnd, intptr_t>> seen;
    const auto record = [&](HWnd window, uint32_t message, intptr_t wParam, intptr_t) {
        if (message != WM_USER) return intptr_t{0};
        seen.emplace_back(window, wParam);
        if (wParam == 1) PostMessage(first.Handle(), WM_USER, 9, 0);
        if (wParam == 2) third.reset();
        return intptr_t{0};
    };
    first.SetWindowProc(record);
    second.SetWindowProc(record);
    third->SetWindowProc(record);
    const HWnd a = first.Handle(), b = second.Handle(), c = third->Handle();
    std::thread poster([&] {
        PostMessage(b, WM_USER, 0, 0);
        PostMessage(a, WM_USER, 1, 0);
        PostMessage(b, WM_USER, 2, 0);
        PostMessage(c, WM_USER, 3, 0);
        PostMessage(a, WM_USER, 4, 0);
    });
    poster.join();
    TestSupport::Pump();
    const std::vector<std::pair<HWnd, intptr_t>> expected{{b, 0}, {a, 1}, {b, 2}, {a, 4}, {a, 9}};
    EXPECT_EQ(seen, expected);
}

TEST(WindowMessages, HandlesAreStableAndNotReused) {
    HWnd gone;
    {
        MessageWindow window;
        gone = window.Handle();
        EXPECT_TRUE(IsWindow(gone));
        EXPECT_TRUE(PostMessage(gone, WM_USER, 0, 0)); // dropped with the window
    }
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_FALSE(PostMessage(gone, WM_USER, 0, 0));
    MessageWindow next;
    EXPECT_NE(next.Handle(), gone);
    TestSupport::Pump();
}

TEST(WindowMessages, SubclassPassesUnknownMessagesToTheOldProcedure) {
    MessageWindow window;
    window.SetWindowProc([](HWnd, uint32_t, intptr_t, intptr_t) { return intptr_t{7}; });
    WindowProc old;
    old = window.SetWindowProc([&old](HWnd w, uint32_t m, intptr_t a, intptr_t b) {
        return m == WM_USER ? intptr_t{1} : old(w, m, a, b);
    });
    EXPECT_EQ(SendMessage(window.Handle(), WM_USER, 0, 0), 1);
    EXPECT_EQ(SendMessage(window.Handle(), WM_USER + 5, 0, 0), 7);
}

TEST(ComVariant, CoercesLikeTheClassicTypes) {
    using namespace Com;
    EXPECT_EQ(ToLong(Variant(2.5)), 2);
    EXPECT_EQ(ToLong(Variant(3.5)), 4);
    EXPECT_EQ(ToLong(Variant(true)), -1);
    EXPECT_EQ(ToLong(Variant(std::string("42"))), 42);
    EXPECT_FALSE(ToLong(Variant(std::string("forty"))));
    EXPECT_FALSE(ToInteger(Variant(int32_t{40000})));
    EXPECT_EQ(ToBoolean(Variant(std::string("True"))), true);
    EXPECT_EQ(ToBoolean(Variant(int32_t{0})), false);
    EXPECT_EQ(ToAddress(Variant(Address{0x7fff0000})), 0x7fff0000);
    EXPECT_EQ(ToText(Variant(int16_t{-3})), "-3");
}

TEST(ComPropertyBag, DefaultsAndCaseInsensitiveNames) {
    Com::PropertyBag bag;
    EXPECT_EQ(Com::ToLong(bag.ReadProperty("Rate", int32_t{44100})), 44100);
    bag.WriteProperty("Rate", int32_t{22050}, int32_t{44100});
    EXPECT_EQ(Com::ToLong(bag.ReadProperty("RATE", int32_t{44100})), 22050);
    bag.WriteProperty("Rate", int32_t{44100}, int32_t{44100});
    EXPECT_FALSE(bag.Contains("Rate")) << "a value equal to its default is not kept";
}

namespace {
class Dummy : public Com::Dispatchable {
public:
    static const Com::ClassInfo& Info() {
        static constexpr Com::DispatchMember members[] = {{1, "Value", 6, 0}, {2, "Add", 1, 2}};
        static const Com::ClassInfo info = {
            "Test.Dummy", "{00000000-0000-0000-0000-000000000001}", "_Dummy", "", "", members, {}};
        return info;
    }
    const Com::ClassInfo& Class() const override { return Info(); }
    Com::HResult Invoke(int32_t dispid, uint8_t kind, std::vector<Com::Variant>& args,
                        Com::Variant& result, Com::ExceptionInfo*) override {
        Com::HResult check = Com::CheckCall(Info(), dispid, kind, args.size());
        if (check != Com::S_OK) return check;
        result = int32_t{dispid};
        return Com::S_OK;
    }
};
} // namespace

TEST(ComClasses, RegistryAndCallChecks) {
    Com::RegisterClass(Dummy::Info(), [] { return std::make_unique<Dummy>(); });
    auto object = Com::CreateObject("{00000000-0000-0000-0000-000000000001}");
    ASSERT_TRUE(object);
    EXPECT_STREQ(object->Class().progId, "Test.Dummy");
    EXPECT_TRUE(Com::CreateObject("test.dummy"));
    EXPECT_FALSE(Com::CreateObject("Test.Missing"));
    std::vector<Com::Variant> none, one{int32_t{1}}, two{int32_t{1}, int32_t{2}};
    Com::Variant result;
    EXPECT_EQ(object->Invoke(1, Com::DISPATCH_PROPERTYGET, none, result), Com::S_OK);
    EXPECT_EQ(object->Invoke(1, Com::DISPATCH_PROPERTYPUT, one, result), Com::S_OK);
    EXPECT_EQ(object->Invoke(1, Com::DISPATCH_METHOD, none, result), Com::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->Invoke(2, Com::DISPATCH_METHOD, one, result), Com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(object->Invoke(2, Com::DISPATCH_METHOD, two, result), Com::S_OK);
    EXPECT_EQ(object->Invoke(3, Com::DISPATCH_METHOD, none, result), Com::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Com::FindMemberByName(Dummy::Info(), "add")->dispid, 2);
}
