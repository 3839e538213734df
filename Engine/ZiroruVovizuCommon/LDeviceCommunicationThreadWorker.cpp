#include "LDeviceCommunicationThreadWorker.h"

#include "LDeviceCommunicationInterface.h"

QV::QVResult LDeviceCommunicationThreadWorker::Run(QV::RCPtr<QV::LRefCountedObject>& parameters)
{
    auto* owner = dynamic_cast<LDeviceCommunicationInterface*>(parameters.Get());
    if (!owner) return 0;
    return owner->DeliverQueuedValueSets();
}
