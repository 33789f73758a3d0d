// Vectors, angles, the integer list, the parameter and result records and the clean-up list.
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <numbers>

#include <korm/korm.h>

// The record layouts callers read by offset.
static_assert(sizeof(korm_vect) == 16);
static_assert(sizeof(kors_vector32) == 16);
static_assert(offsetof(korm_fitParams, numToIgnore) == 0);
static_assert(offsetof(korm_fitParams, constraintEnabled) == 16);
static_assert(offsetof(korm_fitParams, constraintValue) == 24);
static_assert(offsetof(korm_shapeFLine, distance) == 0);
static_assert(offsetof(korm_lineFitResult, line) == 8);
static_assert(offsetof(korm_lineFitResult, rmsError) == 56);
static_assert(offsetof(korm_lineFitResult, leftOut) == 64);
static_assert(offsetof(korm_circleFitResult, centerX) == 8);
static_assert(offsetof(korm_circleFitResult, centerY) == 16);
static_assert(offsetof(korm_circleFitResult, radius) == 24);
static_assert(offsetof(korm_circleFitResult, rmsError) == 32);
static_assert(offsetof(korm_circleFitResult, leftOut) == 40);
static_assert(offsetof(korm_ellipseFitResult, ellipse) == 8);
static_assert(offsetof(korm_ellipseFitResult, rmsError) == 112);
static_assert(offsetof(korm_ellipseFitResult, leftOut) == 120);

extern "C" {

korm_status korm_vect_init(korm_vect* v, double x, double y)
{
    if (!v)
        return KORM_E_INVALID_ARG;
    *v = {x, y};
    return KORM_S_OK;
}

korm_status korm_vect_initLengthAngle(korm_vect* v, double length, double angle)
{
    if (!v)
        return KORM_E_INVALID_ARG;
    *v = {length * std::cos(angle), length * std::sin(angle)};
    return KORM_S_OK;
}

korm_status korm_vect_getUnit(const korm_vect* v, korm_vect* unit)
{
    if (!v || !unit)
        return KORM_E_INVALID_ARG;
    const double length = std::hypot(v->x, v->y);
    if (!std::isfinite(length))
        return KORM_E_NON_FINITE;
    if (length == 0)
        return KORM_E_INVALID_ARG;
    *unit = {v->x / length, v->y / length};
    return KORM_S_OK;
}

korm_status korm_vect_dot(const korm_vect* a, const korm_vect* b, double* dot)
{
    if (!a || !b || !dot)
        return KORM_E_INVALID_ARG;
    *dot = a->x * b->x + a->y * b->y;
    return KORM_S_OK;
}

double korm_radian_signedNorm(double angle)
{
    constexpr double pi = std::numbers::pi;
    if (angle > -pi && angle <= pi)
        return angle;
    /* Reduced as the direction its cos and sin give (exact argument reduction), the rule of
       the framework's angles, so that huge angles keep the direction they stand for. */
    const double r = std::atan2(std::sin(angle), std::cos(angle));
    return r == -pi ? pi : r;
}

korm_status kors_vector32_getBeginSizeConst(const kors_vector32* v, const int32_t** begin, int32_t* size)
{
    if (!v || !begin || !size)
        return KORM_E_INVALID_ARG;
    *begin = v->data;
    *size = v->size;
    return KORM_S_OK;
}

static korm_status InitParams(korm_fitParams* p)
{
    if (!p)
        return KORM_E_INVALID_ARG;
    *p = korm_fitParams{0, 100, 1e-12, 0, 0x5eed, 0.0};
    return KORM_S_OK;
}
korm_status korm_lineFitParams_init(korm_lineFitParams* p)
{
    return InitParams(p);
}
korm_status korm_circleFitParams_init(korm_circleFitParams* p)
{
    return InitParams(p);
}
korm_status korm_ellipseFitParams_init(korm_ellipseFitParams* p)
{
    return InitParams(p);
}

korm_status korm_lineFitResult_construct(korm_lineFitResult* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    *r = korm_lineFitResult{};
    return KORM_S_OK;
}
korm_status korm_circleFitResult_construct(korm_circleFitResult* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    *r = korm_circleFitResult{};
    return KORM_S_OK;
}
korm_status korm_ellipseFitResult_construct(korm_ellipseFitResult* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    *r = korm_ellipseFitResult{};
    return KORM_S_OK;
}

static void FreeList(kors_vector32& v)
{
    std::free(v.data);
    v = kors_vector32{};
}
korm_status korm_lineFitResult_destruct(void* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    FreeList(static_cast<korm_lineFitResult*>(r)->leftOut);
    return KORM_S_OK;
}
korm_status korm_circleFitResult_destruct(void* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    FreeList(static_cast<korm_circleFitResult*>(r)->leftOut);
    return KORM_S_OK;
}
korm_status korm_ellipseFitResult_destruct(void* r)
{
    if (!r)
        return KORM_E_INVALID_ARG;
    FreeList(static_cast<korm_ellipseFitResult*>(r)->leftOut);
    return KORM_S_OK;
}

korm_status korm_shapeFLine_getAngle(const korm_shapeFLine* line, double* angle)
{
    if (!line || !angle)
        return KORM_E_INVALID_ARG;
    *angle = line->angle;
    return KORM_S_OK;
}
korm_status korm_shapeEllipse_getCenter(const korm_shapeEllipse* e, korm_vect* center)
{
    if (!e || !center)
        return KORM_E_INVALID_ARG;
    *center = e->center;
    return KORM_S_OK;
}
korm_status korm_shapeEllipse_getRadii(const korm_shapeEllipse* e, korm_vect* radii)
{
    if (!e || !radii)
        return KORM_E_INVALID_ARG;
    *radii = e->radii;
    return KORM_S_OK;
}
korm_status korm_shapeEllipse_getAngle(const korm_shapeEllipse* e, double* angle)
{
    if (!e || !angle)
        return KORM_E_INVALID_ARG;
    *angle = e->angle;
    return KORM_S_OK;
}

korm_status kory_cleanupExecute_(kory_cleanupEntry* list, int32_t count, korm_status status, int32_t keep)
{
    if (!list || count < 0)
        return KORM_FAILED(status) ? status : KORM_E_INVALID_ARG;
    const int32_t first = keep < 0 ? 0 : keep;
    for (int32_t i = count - 1; i >= first; --i) {
        kory_cleanupEntry& e = list[i];
        if (e.state != KORY_CLEANUP_ARMED)
            continue;
        e.state = KORY_CLEANUP_DONE; // before the call: a release runs at most once
        if (e.action == KORY_CLEANUP_RELEASE && e.release) {
            const korm_status s = e.release(e.object);
            if (KORM_FAILED(s) && !KORM_FAILED(status))
                status = s;
        }
    }
    return status;
}

} // extern "C"
