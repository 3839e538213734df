#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "InputParams.h"

namespace {

using namespace QV;

TEST(InputParamsTest, FactoriesKeepTheirFields)
{
    auto button = LMouseButtonParam::Create(LMouseButtonParam::kRight, {3, -4}, LPointWithModifiersParam::kShift, true,
                                            LMouseButtonParam::kLeft | LMouseButtonParam::kRight, 2);
    EXPECT_EQ(button->GetButton(), 4u);
    EXPECT_EQ(button->GetPoint(), LongPoint(3, -4));
    EXPECT_EQ(button->GetModifiers(), 8u);
    EXPECT_TRUE(button->IsDoubleClick());
    EXPECT_EQ(button->GetButtonState(), 5u);
    EXPECT_EQ(button->GetPointerIndex(), 2u);

    auto wheel = LMouseWheelParam::Create({1, 2}, LPointWithModifiersParam::kAlt, LMouseWheelParam::kLeft);
    EXPECT_EQ(wheel->GetDirection(), 2u);
    EXPECT_EQ(wheel->GetPointerIndex(), 0u);

    RCPtr<LRefCountedObject> item(new LRefCountedObject);
    {
        auto activation = LMenuActivationParam::Create(item, 7);
        EXPECT_EQ(activation->GetValue(), 7);
        EXPECT_EQ(item->GetRefCount(), 2);
    }
    EXPECT_EQ(item->GetRefCount(), 1);  // released with the parameter
}

TEST(InputParamsTest, OneObjectAtATimeNeedsOneBlock)
{
    auto& pool = LMouseButtonParam::GetPool();
    const uint32_t before = pool.GetBlockCount();
    for (int i = 0; i < 1000; ++i) {
        auto param = LMouseButtonParam::Create(1, {i, i}, 0, false, 1, 0);
        ASSERT_EQ(param->GetPoint().x, i);
    }
    EXPECT_LE(pool.GetBlockCount(), std::max(before, 1u));
    EXPECT_GE(pool.GetBlockCount(), 1u);
}

TEST(InputParamsTest, FreedBlocksAreReusedInReverseOrderOfRelease)
{
    auto& pool = LPointWithModifiersParam::GetPool();
    std::vector<RCPtr<LPointWithModifiersParam>> alive;
    for (int i = 0; i < 40; ++i) alive.push_back(LPointWithModifiersParam::Create({i, 0}, 0, 0));
    const uint32_t blocks = pool.GetBlockCount();
    EXPECT_GE(blocks, 40u);

    std::vector<const void*> released;
    for (auto& param : alive) {
        released.push_back(param.Get());
        param = nullptr;
    }
    for (size_t i = released.size(); i > 0; --i) {
        alive[i - 1] = LPointWithModifiersParam::Create({0, 0}, 0, 0);
        EXPECT_EQ(static_cast<const void*>(alive[i - 1].Get()), released[i - 1]);
    }
    EXPECT_EQ(pool.GetBlockCount(), blocks);
}

TEST(InputParamsTest, EachTypeHasItsOwnAlignedPool)
{
    const uint32_t points = LPointWithModifiersParam::GetPool().GetBlockCount();
    std::vector<RCPtr<LPointParam>> alive;
    for (int i = 0; i < 5; ++i) {
        alive.push_back(LMouseWheelParam::Create({0, 0}, 0, 0));
        alive.push_back(LMouseButtonParam::Create(1, {0, 0}, 0, false, 0, 0));
        alive.push_back(RCPtr<LPointParam>(new LPointParam({0, 0})));  // plain heap
    }
    for (const auto& param : alive) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(param.Get()) % alignof(std::max_align_t), 0u);
    }
    EXPECT_GE(LMouseWheelParam::GetPool().GetBlockCount(), 5u);
    EXPECT_EQ(LPointWithModifiersParam::GetPool().GetBlockCount(), points);

    // Another size bypasses the pool, and its block goes back to the heap.
    const uint32_t wheels = LMouseWheelParam::GetPool().GetBlockCount();
    void* other = LMouseWheelParam::GetPool().Allocate(sizeof(LMouseWheelParam) + 1);
    LMouseWheelParam::GetPool().Free(other);
    EXPECT_EQ(LMouseWheelParam::GetPool().GetBlockCount(), wheels);
}

}  // namespace
