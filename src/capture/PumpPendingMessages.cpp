#include "capture/PumpPendingMessages.h"

#include "platform/EventDrain.h"

void PumpPendingMessages()
{
    while (DispatchPendingEvents()) {
    }
}
