#include <gtest/gtest.h>

#include "Exception.h"

namespace {

using namespace QV;

TEST(ExceptionTest, WhatMatchesStandardPartForEveryKind)
{
    const Exception<std::logic_error> logic("Logic Error : x");
    const Exception<std::runtime_error> runtime("Runtime Error : y");
    const Exception<std::out_of_range> range("Out of Range : z");
    const Exception<FailedResultException> failed(std::string("Failed Result : w"));
    const Exception<std::bad_alloc> alloc;
    const ExceptionBase* all[] = {&logic, &runtime, &range, &failed, &alloc};
    const std::exception* std_parts[] = {&logic, &runtime, &range, &failed, &alloc};
    for (size_t i = 0; i < std::size(all); ++i) {
        EXPECT_STREQ(all[i]->What(), std_parts[i]->what());
    }
    EXPECT_STREQ(alloc.what(), "bad allocation");
}

TEST(ExceptionTest, FailedResultTextIsUpperCaseHex)
{
    struct Case {
        QVResult code;
        const char* text;
    };
    const Case cases[] = {
        {E_FAIL, "QVRESULT = 80004005"},
        {-1, "QVRESULT = FFFFFFFF"},
        {-3, "QVRESULT = FFFFFFFD"},
        {E_INVALIDARG, "QVRESULT = 80070057"},
        {0x1A, "QVRESULT = 1A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatResultCode(c.code), c.text);
    }
}

TEST(ExceptionTest, ThrowFailedResultBuildsFullMessage)
{
    try {
        ThrowFailedResult(E_FAIL, "QV::LFrameworkApp::RunApplicationStartup", "Application\\FrameworkApp", 128);
        FAIL() << "no exception";
    } catch (const Exception<FailedResultException>& e) {
        EXPECT_STREQ(e.what(),
                     "Failed Result : QVRESULT = 80004005 : QV::LFrameworkApp::RunApplicationStartup : "
                     "Application\\FrameworkApp : Line 128");
    }
}

TEST(ExceptionTest, MessageWithoutTextOmitsIt)
{
    EXPECT_EQ(FormatExceptionMessage(kDomainError, "", "QV::LRenderer::Create", "Renderer\\Renderer", 116),
              "Domain Error : QV::LRenderer::Create : Renderer\\Renderer : Line 116");
}

TEST(ExceptionTest, CatchBoundaries)
{
    // Out of range is a logic error; a failed result is not a runtime error.
    EXPECT_THROW(throw Exception<std::out_of_range>("Out of Range : x"), std::logic_error);
    bool passedThrough = false;
    try {
        try {
            ThrowFailedResult(E_FAIL, "m", "p", 1);
        } catch (const std::runtime_error&) {
            FAIL() << "caught as runtime_error";
        }
    } catch (const std::exception&) {
        passedThrough = true;
    }
    EXPECT_TRUE(passedThrough);
}

}  // namespace
