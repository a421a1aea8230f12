/* Runs one command and appends what it cost to a results file:
 *
 *     measure RESULTS COMMAND [ARG...]
 *
 * appends "WALL_SECONDS CPU_SECONDS PEAK_KIB USER_SECONDS SYSTEM_SECONDS OTHER_CORES" (one
 * line) to RESULTS, where CPU is user plus system time and PEAK is the largest resident set
 * of the command or of any process it waited for (the figure GNU time prints as %M).
 * OTHER_CORES is how many processor cores the rest of the machine kept busy on average
 * meanwhile (all busy time in /proc/stat, including time the hypervisor took, less the
 * command's own), to tell a quiet run from a disturbed one. The clock is the monotonic one with
 * nanosecond resolution; GNU time's %e only has hundredths of a second, too coarse for
 * transforms that take a tenth of a second. The command's own output goes where
 * measure's goes. Exit status: the command's, or 125 when it could not be run. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double seconds(struct timespec t)
{
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static double timeval_seconds(struct timeval t)
{
    return (double)t.tv_sec + (double)t.tv_usec / 1e6;
}

/* Seconds that all processors together have spent busy since boot; negative if unknown. */
static double busy_seconds(void)
{
    FILE* stat = fopen("/proc/stat", "r");
    if (!stat)
        return -1.0;
    unsigned long long user, nice, system, idle, iowait, irq, softirq, steal;
    const int got = fscanf(stat, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle,
                           &iowait, &irq, &softirq, &steal);
    fclose(stat);
    if (got != 8)
        return -1.0;
    return (double)(user + nice + system + irq + softirq + steal) / (double)sysconf(_SC_CLK_TCK);
}

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: measure RESULTS COMMAND [ARG...]\n");
        return 125;
    }
    FILE* results = fopen(argv[1], "a");
    if (!results) {
        fprintf(stderr, "measure: %s: %s\n", argv[1], strerror(errno));
        return 125;
    }

    struct timespec start, end;
    const double busy_before = busy_seconds();
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) {
        fprintf(stderr, "measure: fork: %s\n", strerror(errno));
        return 125;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        fprintf(stderr, "measure: %s: %s\n", argv[2], strerror(errno));
        _exit(125);
    }
    int status = 0;
    struct rusage usage;
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            fprintf(stderr, "measure: wait: %s\n", strerror(errno));
            return 125;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double busy_after = busy_seconds();

    const double wall = seconds(end) - seconds(start);
    const double user = timeval_seconds(usage.ru_utime), system = timeval_seconds(usage.ru_stime);
    double others = 0.0;
    if (busy_before >= 0.0 && busy_after >= 0.0 && wall > 0.0)
        others = (busy_after - busy_before - user - system) / wall;
    fprintf(results, "%.6f %.6f %ld %.6f %.6f %.3f\n", wall, user + system, usage.ru_maxrss, user, system,
            others < 0.0 ? 0.0 : others);
    if (fclose(results) != 0) {
        fprintf(stderr, "measure: %s: %s\n", argv[1], strerror(errno));
        return 125;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
