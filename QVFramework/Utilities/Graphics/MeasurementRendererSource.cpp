#include "MeasurementRendererSource.h"

#include <utility>

namespace QV {
namespace {

MeasurementRendererSource gSource = nullptr;
RCPtr<LMeasurementRenderer> gScopedRenderer;

RCPtr<LMeasurementRenderer> ScopedSource()
{
    return gScopedRenderer;
}

}  // namespace

RCPtr<LMeasurementRenderer> GetMeasurementRenderer()
{
    return gSource != nullptr ? gSource() : RCPtr<LMeasurementRenderer>();
}

MeasurementRendererSource SetMeasurementRendererSource(MeasurementRendererSource source)
{
    return std::exchange(gSource, source);
}

ScopedMeasurementRenderer::ScopedMeasurementRenderer(RCPtr<LMeasurementRenderer> renderer)
    : mPreviousRenderer(std::exchange(gScopedRenderer, std::move(renderer))),
      mPreviousSource(SetMeasurementRendererSource(&ScopedSource))
{}

ScopedMeasurementRenderer::~ScopedMeasurementRenderer()
{
    SetMeasurementRendererSource(mPreviousSource);
    gScopedRenderer = std::move(mPreviousRenderer);
}

}  // namespace QV
