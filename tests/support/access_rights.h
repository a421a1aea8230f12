#pragma once
// Lets a test running as root see permission checks as an ordinary user does.

namespace testsupport {

// While alive, the process's right to bypass file permissions (root's DAC override and
// read-search capabilities) is suspended, so a folder with mode 000 cannot be listed.
class ScopedPermissionChecks {
public:
    ScopedPermissionChecks();
    ~ScopedPermissionChecks();
    ScopedPermissionChecks(const ScopedPermissionChecks&) = delete;
    ScopedPermissionChecks& operator=(const ScopedPermissionChecks&) = delete;

    // False when permissions still do not apply (the capabilities could not be dropped).
    bool active() const { return m_active; }

private:
    bool m_active = false;
    bool m_restore = false;
    unsigned m_savedEffective = 0;
};

} // namespace testsupport
