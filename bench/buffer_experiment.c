/* The transform turnwise runs (TurboJPEG's tjTransform, memory to memory), without Qt,
 * with the buffer handling as options, to see what each choice costs:
 *
 *     buffer_experiment [--preallocate] [--map-source | --populate-source] [--rotate90] SOURCE.jpg DEST.jpg
 *
 * By default the source is read into a fresh buffer and TurboJPEG grows the destination as
 * it goes (from 4 KiB, doubling and copying).
 *   --preallocate  hands TurboJPEG one destination buffer of tjBufSize bytes (pages never
 *                  written are never faulted in); it may still grow it if ever needed.
 *                  With this option the program does what engine/transform.cpp does.
 *   --map-source   maps the source file instead of reading it
 *   --populate-source  reads the source into anonymous memory mapped with MAP_POPULATE, so
 *                  its pages are made in one call rather than one fault at a time
 *   --rotate90     turns instead of flipping horizontally
 * Time it with bench/measure.c, interleaved with jpegtran, e.g.
 *     cc -O2 -o buffer_experiment bench/buffer_experiment.c -lturbojpeg */
#include <turbojpeg.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

static int fail(const char* what)
{
    perror(what);
    return 1;
}

int main(int argc, char* argv[])
{
    int preallocate = 0, map_source = 0, populate_source = 0, operation = TJXOP_HFLIP, arg = 1;
    for (; arg < argc && strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (strcmp(argv[arg], "--preallocate") == 0)
            preallocate = 1;
        else if (strcmp(argv[arg], "--map-source") == 0)
            map_source = 1;
        else if (strcmp(argv[arg], "--populate-source") == 0)
            populate_source = 1;
        else if (strcmp(argv[arg], "--rotate90") == 0)
            operation = TJXOP_ROT90;
        else
            break;
    }
    if (argc - arg != 2 || (map_source && populate_source)) {
        fprintf(stderr, "usage: buffer_experiment [--preallocate] [--map-source | --populate-source] [--rotate90] "
                        "SOURCE.jpg DEST.jpg\n");
        return 2;
    }
    const char* source_path = argv[arg];
    const char* destination_path = argv[arg + 1];

    const int fd = open(source_path, O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        return fail(source_path);
    const size_t size = (size_t)st.st_size;
    unsigned char* source;
    if (map_source) {
        source = mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (source == MAP_FAILED)
            return fail("mmap");
    } else {
        if (populate_source) {
            source = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
            if (source == MAP_FAILED)
                return fail("mmap");
        } else {
            source = malloc(size);
            if (!source)
                return fail("malloc");
        }
        for (size_t done = 0; done < size;) {
            const ssize_t got = read(fd, source + done, size - done);
            if (got <= 0)
                return fail(source_path);
            done += (size_t)got;
        }
    }

    tjhandle handle = tjInitTransform();
    int width, height, subsampling, colorspace;
    if (!handle || tjDecompressHeader3(handle, source, size, &width, &height, &subsampling, &colorspace) != 0) {
        fprintf(stderr, "%s: %s\n", source_path, tjGetErrorStr2(handle));
        return 1;
    }
    tjtransform transform;
    memset(&transform, 0, sizeof transform);
    transform.op = operation;
    unsigned char* destination = NULL;
    unsigned long destination_size = 0;
    if (preallocate) {
        const int turned = operation == TJXOP_ROT90;
        destination_size = tjBufSize(turned ? height : width, turned ? width : height, subsampling);
        destination = tjAlloc((int)destination_size);
        if (!destination)
            return fail("tjAlloc");
    }
    if (tjTransform(handle, source, size, 1, &destination, &destination_size, &transform, TJFLAG_LIMITSCANS) != 0) {
        fprintf(stderr, "%s: %s\n", source_path, tjGetErrorStr2(handle));
        return 1;
    }

    const int out = open(destination_path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (out < 0 || write(out, destination, destination_size) != (ssize_t)destination_size || close(out) != 0)
        return fail(destination_path);
    tjFree(destination);
    tjDestroy(handle);
    if (map_source || populate_source)
        munmap(source, size);
    else
        free(source);
    close(fd);
    return 0;
}
