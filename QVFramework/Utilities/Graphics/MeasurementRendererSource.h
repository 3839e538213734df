#pragma once
// Where fonts and text layout find the renderer they measure with. The
// application installs its answer (the first root window's renderer, else a
// process-wide one); tests put a fixed renderer in place for a scope.
#include "LMeasurementRenderer.h"

namespace QV {

using MeasurementRendererSource = RCPtr<LMeasurementRenderer> (*)();

// Null when no source is installed.
RCPtr<LMeasurementRenderer> GetMeasurementRenderer();
// Returns the source it replaces. Set on the UI thread only.
MeasurementRendererSource SetMeasurementRendererSource(MeasurementRendererSource source);

// Answers `renderer` to every measurement until it goes out of scope.
class ScopedMeasurementRenderer {
public:
    explicit ScopedMeasurementRenderer(RCPtr<LMeasurementRenderer> renderer);
    ~ScopedMeasurementRenderer();
    ScopedMeasurementRenderer(const ScopedMeasurementRenderer&) = delete;
    ScopedMeasurementRenderer& operator=(const ScopedMeasurementRenderer&) = delete;

private:
    RCPtr<LMeasurementRenderer> mPreviousRenderer;
    MeasurementRendererSource mPreviousSource;
};

}  // namespace QV
