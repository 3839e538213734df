#pragma once
// Counted objects for the container tests, named as the messages spell them.
#include "RefCountedObject.h"

class LZone : public QV::LRefCountedObject {
    QV_TYPE_NAME("class LZone")

public:
    explicit LZone(int id = 0) : id(id) {}
    int id;
};

namespace QV {

// Stands in for the notification object in queue messages.
class LNotification : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotification")

public:
    explicit LNotification(int id = 0) : id(id) {}
    int id;
};

}  // namespace QV
