/* korm: least-squares fits of lines, circles and ellipses to 2-D points, with a chosen number
 * of points left out as outliers. Plain C interface; every function returns a korm_status.
 *
 * One fit: init the parameters and construct the result, set the parameter fields, call the
 * fit, read the result, destruct the result (a kory_cleanupEntry can do the last step).
 *
 * Distances are orthogonal (Euclidean) distances from the points to the fitted shape, and the
 * fit minimises their sum of squares over the points it keeps. Angles are radians. */
#ifndef KORM_KORM_H
#define KORM_KORM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t korm_status;

#define KORM_S_OK ((korm_status)0x00000000u)
#define KORM_E_TOO_FEW_POINTS ((korm_status)0x80000B2Du) /* too few usable points */
#define KORM_E_AMBIGUOUS ((korm_status)0x80000582u)      /* no unique shape through the points */
#define KORM_E_NON_FINITE ((korm_status)0x80000A0Fu)     /* a coordinate or parameter is NaN/inf */
#define KORM_E_INVALID_ARG ((korm_status)0x80070057u)    /* null pointer, bad count or parameter */
#define KORM_E_OUT_OF_MEMORY ((korm_status)0x8007000Eu)
#define KORM_E_FAIL ((korm_status)0x80004005u)
#define KORM_FAILED(s) (((s)&0x80000000u) != 0)

typedef struct korm_vect {
    double x;
    double y;
} korm_vect;

/* A growable list of 32-bit integers; owned by the record that holds it. */
typedef struct kors_vector32 {
    int32_t* data;
    int32_t size;
    int32_t capacity;
} kors_vector32;

/* Line: point = distance * (-sin angle, cos angle), direction (cos angle, sin angle). */
typedef struct korm_shapeFLine {
    double distance; /* signed distance of the line from the origin */
    double angle;    /* direction angle in (-pi/2, pi/2] */
    korm_vect point; /* the point of the line nearest the centroid of the points kept */
    korm_vect direction;
} korm_shapeFLine;

/* Ellipse: centre + R(angle) * (radii.x cos t, radii.y sin t). */
typedef struct korm_shapeEllipse {
    korm_vect center;
    korm_vect radii;     /* along axisX, along axisY */
    double angle;        /* rotation of the x radius from the x axis */
    korm_vect axisX;     /* (cos angle, sin angle) */
    korm_vect axisY;     /* (-sin angle, cos angle) */
    double quadratic[3]; /* A, B, C with A u^2 + B uv + C v^2 = 1, (u, v) = point - centre */
    double reserved;
} korm_shapeEllipse;

/* Parameters; the three records share one layout. Constraint: circle radius, ellipse
 * rotation; the line has none. */
typedef struct korm_fitParams {
    int32_t numToIgnore;       /* exactly this many points are left out */
    int32_t maxIterations;     /* bound of the geometric iterations (default 100) */
    double tolerance;          /* relative step at which the iterations stop (default 1e-12);
                                  they stop sooner once a step would change the sum of squares
                                  by less than its rounding */
    int32_t constraintEnabled; /* 0 or 1 */
    uint32_t seed;             /* seed of the outlier search's candidate sets */
    double constraintValue;
} korm_fitParams;
typedef korm_fitParams korm_lineFitParams;
typedef korm_fitParams korm_circleFitParams;
typedef korm_fitParams korm_ellipseFitParams;

typedef struct korm_lineFitResult {
    int32_t numUsed;
    int32_t iterations;
    korm_shapeFLine line;
    double rmsError;
    kors_vector32 leftOut; /* zero-based indices of the points left out, ascending */
} korm_lineFitResult;

typedef struct korm_circleFitResult {
    int32_t numUsed;
    int32_t iterations;
    double centerX;
    double centerY;
    double radius;
    double rmsError;
    kors_vector32 leftOut;
} korm_circleFitResult;

typedef struct korm_ellipseFitResult {
    int32_t numUsed;
    int32_t iterations;
    korm_shapeEllipse ellipse;
    double rmsError;
    kors_vector32 leftOut;
} korm_ellipseFitResult;

/* Vectors and angles. */
korm_status korm_vect_init(korm_vect* v, double x, double y);
korm_status korm_vect_initLengthAngle(korm_vect* v, double length, double angle);
korm_status korm_vect_getUnit(const korm_vect* v, korm_vect* unit); /* zero vector: invalid */
korm_status korm_vect_dot(const korm_vect* a, const korm_vect* b, double* dot);
/* The angle brought into (-pi, pi]. */
double korm_radian_signedNorm(double angle);

korm_status kors_vector32_getBeginSizeConst(const kors_vector32* v, const int32_t** begin, int32_t* size);

/* Records. The destructors take the record's address untyped so that they can be registered
 * in a clean-up list as they are. */
korm_status korm_lineFitParams_init(korm_lineFitParams* params);
korm_status korm_circleFitParams_init(korm_circleFitParams* params);
korm_status korm_ellipseFitParams_init(korm_ellipseFitParams* params);
korm_status korm_lineFitResult_construct(korm_lineFitResult* result);
korm_status korm_circleFitResult_construct(korm_circleFitResult* result);
korm_status korm_ellipseFitResult_construct(korm_ellipseFitResult* result);
korm_status korm_lineFitResult_destruct(void* result);
korm_status korm_circleFitResult_destruct(void* result);
korm_status korm_ellipseFitResult_destruct(void* result);

/* Fits. Minimum points (after numToIgnore): line 2, circle 3, ellipse 5.
 * The circle and ellipse fits refine an algebraic fit by Levenberg-Marquardt on the orthogonal
 * distances. On a short arc the points hardly tell a larger ellipse from a smaller one; there
 * the ellipse fit keeps its algebraic start when the refinement would grow the larger radius
 * by more than 5% while lowering the sum of squares by less than the mean squared residual,
 * or would more than double it. */
korm_status korm_lineFit(const korm_vect* points, int32_t count, const korm_lineFitParams* params,
                         korm_lineFitResult* result);
korm_status korm_circleFit(const korm_vect* points, int32_t count, const korm_circleFitParams* params,
                           korm_circleFitResult* result);
korm_status korm_ellipseFit(const korm_vect* points, int32_t count, const korm_ellipseFitParams* params,
                            korm_ellipseFitResult* result);

korm_status korm_shapeFLine_getAngle(const korm_shapeFLine* line, double* angle);
korm_status korm_shapeEllipse_getCenter(const korm_shapeEllipse* ellipse, korm_vect* center);
korm_status korm_shapeEllipse_getRadii(const korm_shapeEllipse* ellipse, korm_vect* radii);
korm_status korm_shapeEllipse_getAngle(const korm_shapeEllipse* ellipse, double* angle);

/* Clean-up list: entries released in reverse order, each at most once. */
typedef korm_status (*kory_releaseFn)(void* object);
typedef struct kory_cleanupEntry {
    int32_t state;  /* KORY_CLEANUP_ARMED until run, then KORY_CLEANUP_DONE */
    int32_t action; /* KORY_CLEANUP_RELEASE: call release(object) */
    void* object;
    kory_releaseFn release;
} kory_cleanupEntry;
#define KORY_CLEANUP_ARMED 0
#define KORY_CLEANUP_DONE 1
#define KORY_CLEANUP_RELEASE 50

/* Runs the armed entries from index `keep` (-1 = all) to the end, last first. Returns
 * `status`, or the first failing release status if `status` succeeded. */
korm_status kory_cleanupExecute_(kory_cleanupEntry* list, int32_t count, korm_status status, int32_t keep);

#ifdef __cplusplus
}
#endif

#endif
