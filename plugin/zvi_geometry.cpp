// Matrices, calculations and geometry for plug-ins: the program's affine
// matrices, the frames of texts and blocks and the constructions of the
// geometry kernel, copied out of the kernel's result buffers.
#include <cmath>
#include <cstring>

#include "app/darad4.h"
#include "commands/snap.h"
#include "commands/trim_offset.h"
#include "dialogs/alert.h"
#include "language/language.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "display/symbol.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"
#include "geometry/calc_fit.h"
#include "geometry/distance.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr double ANGLE_LIMIT = 12.566370614359172; // four half turns either way
constexpr double VALUE_LIMIT = 1e100;
constexpr double SHEAR_INFINITE = 1e10;
constexpr double COS_ZERO = 1e-10;
constexpr double ROTATION_ZERO = 1e-10;
constexpr int MAX_INTERSECTIONS = 4;
constexpr int MAX_FEET = 2;
constexpr int MAX_TANGENT_POINTS = 8;
constexpr int MAX_RADIUS_FITS = 16;

bool InRange(double v) { return std::fabs(v) <= VALUE_LIMIT; }

// Copies n kernel result points into out.
void CopyPoints(double *out, int n)
{
    for (int i = 0; i < n; ++i) {
        out[2 * i] = g_CalcPoints[i].x;
        out[2 * i + 1] = g_CalcPoints[i].y;
    }
}

int Clamp(int n, int most) { return n < 0 ? 0 : n > most ? most : n; }

} // namespace

extern "C" {

void ZVI_CALL ZVI_MatrixInit(Matrix *m)
{
    if (!ZviWritable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    MatrixInit(m);
}

void ZVI_CALL ZVI_MatrixRotate(Matrix *m, double angle)
{
    if (!ZviWritable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    if (!(std::fabs(angle) <= ANGLE_LIMIT)) {
        ZVI_REFUSE("Angle out of range!");
        return;
    }
    MatrixRotate(m, angle);
}

void ZVI_CALL ZVI_MatrixMove(Matrix *m, double dx, double dy)
{
    if (!ZviWritable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    if (!InRange(dx)) {
        ZVI_REFUSE("OffsetX out of range!");
        return;
    }
    if (!InRange(dy)) {
        ZVI_REFUSE("OffsetY out of range!");
        return;
    }
    MatrixMove(m, dx, dy);
}

namespace {

bool FactorsValid(Matrix *m, double fx, double fy, const char *function, int line)
{
    if (!ZviWritable(m, sizeof(Matrix)))
        return ZviRefuse(function, line, "Matrix address invalid!");
    if (!InRange(fx))
        return ZviRefuse(function, line, "FactorX out of range!");
    if (!InRange(fy))
        return ZviRefuse(function, line, "FactorY out of range!");
    return true;
}

} // namespace

void ZVI_CALL ZVI_MatrixScale(Matrix *m, double fx, double fy)
{
    if (FactorsValid(m, fx, fy, __func__, __LINE__))
        MatrixScale(m, fx, fy);
}

void ZVI_CALL ZVI_MatrixSheer(Matrix *m, double fx, double fy)
{
    if (!FactorsValid(m, fx, fy, __func__, __LINE__))
        return;
    MatrixShearX(m, fx);
    MatrixShearY(m, fy);
}

void ZVI_CALL ZVI_MatrixMultiply(Matrix *m, const Matrix *factor)
{
    if (!ZviWritable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    if (!ZviReadable(factor, sizeof(Matrix))) {
        ZVI_REFUSE("Factor address invalid!");
        return;
    }
    const Matrix f = *factor; // may be m itself
    MatrixMultiply(m, &f);
}

int ZVI_CALL ZVI_MatrixInvert(const Matrix *m, Matrix *inverse)
{
    if (!ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    if (!ZviWritable(inverse, sizeof(Matrix)))
        return ZVI_REFUSE("InvertMatrix address invalid!");
    return MatrixInvert(m, inverse);
}

int ZVI_CALL ZVI_MatrixSeparate(const Matrix *m, double *scaleX, double *scaleY, double *rotation,
                                double *distortion, double *moveX, double *moveY)
{
    if (!ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    struct Out {
        double *p;
        const char *reason;
    } outs[] = {{scaleX, "ScaleX address invalid!"},         {scaleY, "ScaleY address invalid!"},
                {rotation, "Rotation address invalid!"},     {distortion, "Distortion address invalid!"},
                {moveX, "MoveX address invalid!"},           {moveY, "MoveY address invalid!"}};
    for (const Out &o : outs)
        if (o.p && !ZviWritable(o.p, sizeof(double)))
            return ZVI_REFUSE(o.reason);
    double h = 0, f = 1, r = 0, d = 0, x = 0, y = 0;
    const int result = MatrixSeparate(m, &h, &f, &r, &d, &x, &y);
    // Degenerate: the scales are 0 and only the translation is told.
    const double values[6] = {result ? f * h : 0.0, h, r, d, x, y};
    for (int i = 0; i < 6; ++i)
        if (outs[i].p)
            *outs[i].p = values[i];
    return result;
}

void ZVI_CALL ZVI_MatrixAssemble(Matrix *m, double scaleX, double scaleY, double rotation, double distortion,
                                 double moveX, double moveY)
{
    if (!ZviWritable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    MatrixInit(m);
    MatrixScale(m, scaleX, scaleY);
    const double c = std::cos(-distortion);
    MatrixShearX(m, std::fabs(c) < COS_ZERO ? SHEAR_INFINITE : std::tan(-distortion));
    if (std::fabs(rotation) > ROTATION_ZERO)
        MatrixRotate(m, rotation);
    MatrixMove(m, moveX, moveY);
}

// --- calculations

int ZVI_CALL ZVI_CalcTextFrame(const void *data, const char *text, double frame[4])
{
    if (!ZviReadable(data, ZVI_SIZE_TEXTSTANDARD))
        return ZVI_REFUSE("Data address invalid!");
    const int length = ZviTextLength(text, TEXT_CAPACITY_LONG);
    if (length < 0 || length > TEXT_CAPACITY_LONG)
        return ZVI_REFUSE("Text address invalid!");
    if (!ZviWritable(frame, 4 * sizeof(double)))
        return ZVI_REFUSE("Frame address invalid!");
    const auto *record = static_cast<const TextStandardData *>(data);
    const XProperty defaults = XPropertyDefault();
    Matrix identity;
    MatrixInit(&identity);
    SymbolSetTextLayout(record->charSpacing, record->tabUnit, record->lineSpacing, record->alignment);
    FrameMeasureText(&record->font, text, &record->matrix, &record->property, &defaults, &identity);
    std::memcpy(frame, g_FrameBox, 4 * sizeof(double));
    return length > 0 ? 1 : 0;
}

int ZVI_CALL ZVI_CalcBlockFrame(int, const char *blockName, const char *libraryName, const Matrix *m,
                                double frame[4], int load)
{
    const int nameLength = ZviTextLength(blockName, UNIT_NAME_SIZE - 1);
    if (nameLength < 0 || nameLength >= UNIT_NAME_SIZE)
        return ZVI_REFUSE("BlockName address invalid!");
    const int libraryLength = ZviTextLength(libraryName, UNIT_NAME_SIZE - 1);
    if (libraryLength < 0 || libraryLength >= UNIT_NAME_SIZE)
        return ZVI_REFUSE("LibraryName address invalid!");
    if (m && !ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    if (frame && !ZviWritable(frame, 4 * sizeof(double)))
        return ZVI_REFUSE("Frame address invalid!");
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    Unit *block = load ? SymbolFindBlockLoading(libraryName, blockName) : SymbolFindBlock(libraryName, blockName);
    if (block) {
        const double *stored = block->block.blockFrame;
        if (stored[0] >= 1e300 || stored[1] >= 1e300) {
            const XProperty defaults = XPropertyDefault();
            FrameCalcBlockByName(libraryName, blockName, &defaults, m);
            std::memcpy(box, g_FrameBox, sizeof box);
        } else if (m) {
            MatrixTransformRect(m, stored, box);
        } else {
            std::memcpy(box, stored, sizeof box);
        }
    }
    if (frame)
        std::memcpy(frame, box, sizeof box);
    return block ? 1 : 0;
}

namespace {

int AlwaysZero(const Unit *object, double *result, const char *function, int line)
{
    if (!ZviReadable(object, 1))
        return ZviRefuse(function, line, "Obj address invalid!");
    if (!ZviWritable(result, sizeof(double)))
        return ZviRefuse(function, line, "Result address invalid!");
    *result = 0.0;
    return 0;
}

} // namespace

int ZVI_CALL ZVI_CalcObjectArea(const Unit *object, double *result)
{
    return AlwaysZero(object, result, __func__, __LINE__);
}

int ZVI_CALL ZVI_CalcObjectPerimeter(const Unit *object, double *result)
{
    return AlwaysZero(object, result, __func__, __LINE__);
}

int ZVI_CALL ZVI_CalcCurvature(double x1, double y1, double x2, double y2, double x3, double y3, double *result)
{
    if (!ZviWritable(result, sizeof(double)))
        return ZVI_REFUSE("Result address invalid!");
    *result = CalcCurvature(x1, y1, x2, y2, x3, y3);
    return 1;
}

// --- geometry

int ZVI_CALL ZVI_GeoDistance(const GeoObject *obj, double x, double y, double *distance)
{
    if (!ZviReadable(obj, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj address invalid!");
    if (!ZviWritable(distance, sizeof(double)))
        return ZVI_REFUSE("Result address invalid!");
    *distance = DistanceGeoObject(obj, x, y);
    return 1;
}

int ZVI_CALL ZVI_GeoIntersection(const GeoObject *a, const GeoObject *b, double points[8])
{
    if (!ZviReadable(a, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj1 address invalid!");
    if (!ZviReadable(b, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj2 address invalid!");
    if (!ZviWritable(points, 2 * MAX_INTERSECTIONS * sizeof(double)))
        return ZVI_REFUSE("Result address invalid!");
    // The crossings land in the path buffer; at most four fit the caller's array.
    const int n = Clamp(SnapIntersectObjects(a, b, 0), MAX_INTERSECTIONS);
    for (int i = 0; i < n; ++i) {
        points[2 * i] = g_WorkArrays.pathPoints[i].x;
        points[2 * i + 1] = g_WorkArrays.pathPoints[i].y;
    }
    return n;
}

int ZVI_CALL ZVI_GeoPerpendicular(const GeoObject *obj, double x, double y, double feet[4])
{
    if (!ZviReadable(obj, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj address invalid!");
    if (!ZviWritable(feet, 2 * MAX_FEET * sizeof(double)))
        return ZVI_REFUSE("Result address invalid!");
    const int n = Clamp(CalcGeoPerpendicular(obj, x, y), MAX_FEET);
    CopyPoints(feet, n);
    return n;
}

int ZVI_CALL ZVI_GeoTangent(const GeoObject *a, const GeoObject *b, double points[16])
{
    if (!ZviReadable(a, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj1 address invalid!");
    if (!ZviReadable(b, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj2 address invalid!");
    if (!ZviWritable(points, 2 * MAX_TANGENT_POINTS * sizeof(double)))
        return ZVI_REFUSE("Result address invalid!");
    const int n = Clamp(CalcGeoTangent(a, b), MAX_TANGENT_POINTS);
    CopyPoints(points, n);
    return n;
}

int ZVI_CALL ZVI_GeoRadiusFit(const GeoObject *a, const GeoObject *b, double radius, int mode,
                              GeoObject result[16])
{
    if (!ZviReadable(a, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj1 address invalid!");
    if (!ZviReadable(b, sizeof(GeoObject)))
        return ZVI_REFUSE("GeoObj2 address invalid!");
    if (!ZviWritable(result, MAX_RADIUS_FITS * sizeof(GeoObject)))
        return ZVI_REFUSE("Result address invalid!");
    const GeoObject first = *a, second = *b;
    const int n = Clamp(CalcGeoRadiusFit(&first, &second, radius, mode), MAX_RADIUS_FITS);
    std::memcpy(result, g_CalcCandidates, n * sizeof(GeoObject));
    return n;
}

} // extern "C"

namespace {

template <typename Solve>
int ThreePoints(const double p1[2], const double p2[2], const double p3[2], double centre[2], Solve solve,
                const char *function, int line)
{
    if (!ZviReadable(p1, 2 * sizeof(double)))
        return ZviRefuse(function, line, "Point1 address invalid!");
    if (!ZviReadable(p2, 2 * sizeof(double)))
        return ZviRefuse(function, line, "Point2 address invalid!");
    if (!ZviReadable(p3, 2 * sizeof(double)))
        return ZviRefuse(function, line, "Point3 address invalid!");
    if (!ZviWritable(centre, 2 * sizeof(double)))
        return ZviRefuse(function, line, "Result address invalid!");
    const int n = solve(p1[0], p1[1], p2[0], p2[1], p3[0], p3[1]);
    if (n >= 1)
        CopyPoints(centre, 1);
    return n;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_GeoIncircle(const double p1[2], const double p2[2], const double p3[2], double centre[2])
{
    return ThreePoints(p1, p2, p3, centre, CalcGeoIncircle, __func__, __LINE__);
}

int ZVI_CALL ZVI_GeoCircumcircle(const double p1[2], const double p2[2], const double p3[2], double centre[2])
{
    return ThreePoints(p1, p2, p3, centre, CalcGeoCircumcircle, __func__, __LINE__);
}

} // extern "C"

// --- offsets

namespace {

constexpr int OFFSET_DEFECT_QUESTION = 109; // "the offset keeps open ends: use it?"

} // namespace

extern "C" {

int ZVI_CALL ZVI_GeoEquidistant(const Unit *source, Unit *target, double distance, int side, const double refPoint[2])
{
    if (!ZviUnitReadable(source))
        return ZVI_REFUSE("ObjPtr1 address invalid!");
    // The offset is written as a whole unit: the target must hold one.
    if (!ZviWritable(target, g_ObjectLimits.objectSize))
        return ZVI_REFUSE("ObjPtr2 address invalid!");
    if (!ZviReadable(refPoint, 2 * sizeof(double)))
        return ZVI_REFUSE("ReferencePoint address invalid!");
    const CalcPoint reference{refPoint[0], refPoint[1]};
    const int result = TrimEquidistant(source, target, distance, side, &reference);
    if (result < 0)
        return 0;
    if (result == 0)
        return 1;
    return AlertYesNo(g_MainWnd, eAlertTextSM[OFFSET_DEFECT_QUESTION]) == ALERT_YES ? 1 : 0;
}

} // extern "C"
