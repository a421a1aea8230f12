/* Writes a photograph-like test picture as a binary PPM:
 *
 *     make_photo WIDTH HEIGHT SEED OUT.ppm
 *
 * A sky gradient with soft clouds above a textured ground, a few hard-edged objects and a
 * fine sensor grain. What matters for the transform benchmarks is that the compressed
 * size is like a camera's (about 3 bits per pixel at quality 90, 4:2:0): the time of a
 * lossless transform goes mostly into Huffman decoding and encoding, so pure noise (far
 * larger files) or flat colour (far smaller ones) would misrepresent it. The same
 * arguments always give the same picture. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static uint32_t g_seed;

static uint32_t hash3(int32_t x, int32_t y, uint32_t z)
{
    uint32_t h = (uint32_t)x * 0x8da6b343u ^ (uint32_t)y * 0xd8163841u ^ (z + g_seed) * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

static float unit(uint32_t h)
{
    return (float)(h >> 8) * (1.0f / 16777216.0f);
}

/* Smoothly interpolated value noise in [0, 1) on a grid of `cell` pixels. */
static float value_noise(float x, float y, float cell, uint32_t layer)
{
    const float fx = x / cell, fy = y / cell;
    const float x0 = floorf(fx), y0 = floorf(fy);
    const int32_t ix = (int32_t)x0, iy = (int32_t)y0;
    float tx = fx - x0, ty = fy - y0;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = unit(hash3(ix, iy, layer)), b = unit(hash3(ix + 1, iy, layer));
    const float c = unit(hash3(ix, iy + 1, layer)), d = unit(hash3(ix + 1, iy + 1, layer));
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

/* Fractal noise from `largest` down to `smallest` pixels, in about [0, 1). */
static float fractal(float x, float y, float largest, float smallest, float gain, uint32_t layer)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (float cell = largest; cell >= smallest; cell *= 0.5f) {
        sum += weight * value_noise(x, y, cell, layer++);
        total += weight;
        weight *= gain;
    }
    return sum / total;
}

/* Roughly normal noise with unit spread, from four uniform draws. */
static float grain(int32_t x, int32_t y, uint32_t layer)
{
    const uint32_t h1 = hash3(x, y, layer), h2 = hash3(x, y, layer + 7919u);
    const float s = (float)(h1 & 0xffff) + (float)(h1 >> 16) + (float)(h2 & 0xffff) + (float)(h2 >> 16);
    return (s / 65536.0f - 2.0f) * 1.73f;
}

static unsigned char clamp_byte(float v)
{
    return v <= 0.0f ? 0 : v >= 255.0f ? 255 : (unsigned char)(v + 0.5f);
}

struct object {
    float cx, cy, rx, ry;
    float rgb[3];
    int round;
};

int main(int argc, char* argv[])
{
    if (argc != 5) {
        fprintf(stderr, "usage: make_photo WIDTH HEIGHT SEED OUT.ppm\n");
        return 2;
    }
    const int width = atoi(argv[1]), height = atoi(argv[2]);
    g_seed = (uint32_t)strtoul(argv[3], NULL, 10);
    if (width < 16 || height < 16) {
        fprintf(stderr, "make_photo: the picture must be at least 16 x 16\n");
        return 2;
    }
    FILE* out = fopen(argv[4], "wb");
    if (!out) {
        perror(argv[4]);
        return 1;
    }
    fprintf(out, "P6\n%d %d\n255\n", width, height);

    /* Features scale with the picture, so a 12- and a 24-megapixel one look alike. */
    const float scale = (float)width / 6000.0f;
    const float horizon = 0.42f * (float)height;
    enum { kObjects = 40 };
    struct object objects[kObjects];
    for (int i = 0; i < kObjects; ++i) {
        struct object* o = &objects[i];
        o->cx = unit(hash3(i, 1, 900)) * (float)width;
        o->cy = horizon + unit(hash3(i, 2, 900)) * ((float)height - horizon);
        o->rx = (40.0f + 260.0f * unit(hash3(i, 3, 900))) * scale;
        o->ry = (40.0f + 260.0f * unit(hash3(i, 4, 900))) * scale;
        for (int c = 0; c < 3; ++c)
            o->rgb[c] = 30.0f + 200.0f * unit(hash3(i, 5 + c, 900));
        o->round = (int)(hash3(i, 9, 900) & 1);
    }

    unsigned char* row = malloc((size_t)width * 3);
    if (!row) {
        fprintf(stderr, "make_photo: out of memory\n");
        return 1;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float fx = (float)x, fy = (float)y;
            float rgb[3];
            if (fy < horizon) {
                /* Sky: deep blue overhead to a pale horizon, with soft clouds. */
                const float t = fy / horizon;
                const float cloud = fractal(fx, fy * 2.5f, 900.0f * scale, 6.0f, 0.55f, 10);
                const float amount = cloud > 0.5f ? (cloud - 0.5f) * 2.6f : 0.0f;
                const float sky[3] = {70.0f + 120.0f * t, 120.0f + 85.0f * t, 200.0f + 35.0f * t};
                for (int c = 0; c < 3; ++c)
                    rgb[c] = sky[c] + (245.0f - sky[c]) * (amount > 1.0f ? 1.0f : amount);
            } else {
                /* Ground: grass and earth with texture at every scale, darker towards the camera. */
                const float coarse = fractal(fx, fy, 700.0f * scale, 24.0f, 0.6f, 30);
                const float fine = fractal(fx, fy, 16.0f, 1.5f, 1.0f, 50);
                const float depth = (fy - horizon) / ((float)height - horizon);
                const float shade = (0.55f + 0.9f * coarse) * (1.0f - 0.35f * depth) * (0.1f + 1.8f * fine);
                const float mix = coarse;
                rgb[0] = (70.0f + 80.0f * mix) * shade;
                rgb[1] = (110.0f + 30.0f * mix) * shade;
                rgb[2] = (40.0f + 30.0f * mix) * shade;
            }
            for (int i = 0; i < kObjects; ++i) {
                const struct object* o = &objects[i];
                const float dx = (fx - o->cx) / o->rx, dy = (fy - o->cy) / o->ry;
                const int inside = o->round ? dx * dx + dy * dy <= 1.0f : fabsf(dx) <= 1.0f && fabsf(dy) <= 1.0f;
                if (inside) {
                    const float light = 0.8f + 0.4f * (0.5f - 0.5f * dx) - 0.15f * dy;
                    const float texture = 0.7f + 0.6f * fractal(fx, fy, 24.0f, 2.0f, 0.9f, 70 + 8 * (uint32_t)i);
                    for (int c = 0; c < 3; ++c)
                        rgb[c] = o->rgb[c] * light * texture;
                }
            }
            const float luma = 3.5f * grain(x, y, 80);
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = clamp_byte(rgb[c] + luma + 1.5f * grain(x, y, 90 + (uint32_t)c));
        }
        if (fwrite(row, 3, (size_t)width, out) != (size_t)width) {
            perror(argv[4]);
            return 1;
        }
    }
    free(row);
    if (fclose(out) != 0) {
        perror(argv[4]);
        return 1;
    }
    return 0;
}
