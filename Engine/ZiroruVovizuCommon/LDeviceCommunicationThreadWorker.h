#pragma once
// The device-communication thread's work: each wake-up delivers every
// queued value set of the interface given as the job's parameter object.
#include "LThreadWorker.h"

class LDeviceCommunicationThreadWorker : public QV::LThreadWorker {
    QV_TYPE_NAME("class LDeviceCommunicationThreadWorker")

public:
    // A parameter that is not an LDeviceCommunicationInterface ends the run at once.
    [[nodiscard]] QV::QVResult Run(QV::RCPtr<QV::LRefCountedObject>& parameters) override;
};
