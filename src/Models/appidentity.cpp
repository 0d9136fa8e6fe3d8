#include "appidentity.h"

#include <unistd.h>

namespace AppIdentity {

qint64 processID()
{
    return qint64(::getpid());
}

} // namespace AppIdentity
