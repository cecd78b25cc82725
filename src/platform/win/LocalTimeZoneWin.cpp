#include "platform/LocalTimeZone.h"

void pinLocalTimeZone()
{
    // Windows answers local-time questions from memory already.
}
