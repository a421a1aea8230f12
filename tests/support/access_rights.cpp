#include "tests/support/access_rights.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {
namespace {

constexpr unsigned kFileOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool GetCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool SetCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ScopedPermissionChecks::ScopedPermissionChecks()
{
    __user_cap_data_struct data[2]{};
    if (!GetCaps(data))
        return;
    m_savedEffective = data[0].effective;
    if ((data[0].effective & kFileOverrides) == 0) {
        m_active = true; // nothing to drop: permissions apply already
        return;
    }
    data[0].effective &= ~kFileOverrides;
    if (SetCaps(data)) {
        m_active = true;
        m_restore = true;
    }
}

ScopedPermissionChecks::~ScopedPermissionChecks()
{
    if (!m_restore)
        return;
    __user_cap_data_struct data[2]{};
    if (GetCaps(data)) {
        data[0].effective = m_savedEffective;
        SetCaps(data);
    }
}

} // namespace testsupport
