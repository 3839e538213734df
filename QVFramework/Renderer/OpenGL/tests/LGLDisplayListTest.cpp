#include "LGLDisplayList.h"

#include "GLTestContext.h"

namespace {

using namespace QV;

using DisplayListTest = GLTestContext;

TEST_F(DisplayListTest, RecordingDrawsNothingAndCallReplays)
{
    RCPtr<LGLDisplayList> list = LGLDisplayList::Create(1);
    ASSERT_EQ(list->BeginRecord(0), S_OK);
    glColor4f(1, 0, 0, 1);
    glRecti(0, 0, 10, 10);
    ASSERT_EQ(list->EndRecord(), S_OK);
    EXPECT_EQ(Pixel(5, 5), kBlack);
    EXPECT_EQ(list->Call(0, 1), S_OK);
    EXPECT_EQ(Pixel(5, 5), kRed);

    const auto name = static_cast<GLuint>(list->GetFirstList());
    list = nullptr;
    EXPECT_FALSE(glIsList(name));
}

TEST_F(DisplayListTest, MisuseAnswersItsResultCodes)
{
    RCPtr<LGLDisplayList> fresh = LGLDisplayList::Create(1);
    EXPECT_EQ(fresh->EndRecord(), E_FAIL);  // no block yet
    EXPECT_EQ(fresh->Call(0, 1), E_FAIL);

    RCPtr<LGLDisplayList> two = LGLDisplayList::Create(2);
    ASSERT_EQ(two->BeginRecord(1), S_OK);
    ASSERT_EQ(two->EndRecord(), S_OK);
    EXPECT_EQ(two->Call(1, 2), E_INVALIDARG);
    EXPECT_EQ(two->Call(0, 2), S_OK);  // list 0 is generated, merely empty
}

TEST_F(DisplayListTest, CountZeroIsTheSharedEmptyList)
{
    EXPECT_EQ(LGLDisplayList::Create(0).Get(), LGLDisplayList::Create(0).Get());
    EXPECT_NE(LGLDisplayList::Create(1).Get(), LGLDisplayList::Create(1).Get());
    EXPECT_EQ(LGLDisplayList::Create(0)->BeginRecord(0), E_FAIL);
}

}  // namespace
