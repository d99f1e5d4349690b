// The term evaluator.
//
// A term is parsed operand by operand. Each level (the term itself and every
// pair of parentheses) builds a small operator tree in its share of one work
// block; an operator goes down the tree's right edge past operators that bind
// less, so precedence and left grouping come out of the insertion alone.
#include "dialogs/box08_term.h"
#include "database/storage.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/convert.h"
#include "app/init.h"
#include "app/system_current.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "language/language.h"

TermState g_TermState = {};

namespace {

constexpr char SOURCE_NAME[] = "box08_term.cpp";
constexpr double TAN_POLE_DISTANCE = 1e-10;

// Messages (eAlertTextOK entries).
constexpr int MSG_NOT_COMPUTABLE = 83;
constexpr int MSG_SYNTAX = 84;
constexpr int MSG_TOO_DEEP = 85;
constexpr int MSG_TOO_MANY_OPERATORS = 86;
constexpr int MSG_OUT_OF_DOMAIN = 88;
constexpr int MSG_UNKNOWN_REFERENCE = 91;
constexpr int MSG_BUSY = 130;

enum Function {
    FN_NONE = -1,
    FN_SQRT, FN_SQR, FN_LN, FN_ARCSIN, FN_ARCCOS, FN_ARCTAN, FN_SIN, FN_COS, FN_TAN, FN_CEIL, FN_FLOOR,
};
const char *const FUNCTION_NAMES[] = {"sqrt", "sqr", "ln", "arcsin", "arccos", "arctan",
                                      "sin",  "cos", "tan", "ceil", "floor"};

const char *const CONSTANT_NAMES[] = {"e",   "pi",  "_pl", "_pr", "_pt", "_pb", "_sl", "_sr",
                                      "_so", "_su", "x",   "y",   "l",   "r",   "w",   "a",
                                      "_fl", "_fr", "_ft", "_fb", "_rl", "_rr", "_ro", "_ru"};
constexpr int CONSTANT_COUNT = sizeof CONSTANT_NAMES / sizeof CONSTANT_NAMES[0];
static_assert(CONSTANT_COUNT == TERM_FIRST_REFERENCE + TERM_REFERENCE_COUNT);
// Page edges in TermState::pageFrame.
enum { EDGE_LEFT, EDGE_BOTTOM, EDGE_RIGHT, EDGE_TOP };

// Factors of the degree, minute and second signs, in radians.
const double ANGLE_SIGN_FACTORS[CONVERT_ANGLE_SIGN_COUNT] = {
    CONVERT_DEGREE_FACTOR, CONVERT_DEGREE_FACTOR / 60.0, CONVERT_DEGREE_FACTOR / 3600.0};

// Characters after which the normaliser adds "+" before a digit, so that
// suffixed parts written one after the other add up ("2yd1ft"): the first
// characters of the length list's end entry and of the angle names "deg" and
// "gra".
constexpr char LIST_END = '\x04';
bool AddsBeforeDigit(char ch)
{
    return ch == LIST_END || ch == 'd' || ch == 'g';
}

int s_WorkBlocksOut = 0;

} // namespace

// Takes the work block from the tracked temporary memory.
TermNode *Box08TermTakeWorkBlock()
{
    void *block = mem_alloc_temp(TERM_WORK_BLOCK_SIZE, __FILE__, __LINE__);
    if (block)
        ++s_WorkBlocksOut;
    return static_cast<TermNode *>(block);
}

void Box08TermGiveBackWorkBlock(TermNode *block)
{
    if (!block)
        return;
    mem_free_temp(block, __FILE__, __LINE__);
    --s_WorkBlocksOut;
}

namespace {

void Message(int entry)
{
    if (g_TermState.owner)
        AlertOk(g_TermState.owner, eAlertTextOK[entry]);
}

bool InRange(double v)
{
    return v >= -CALC_COORD_LIMIT && v <= CALC_COORD_LIMIT; // false for NaN
}

bool IsOperator(char ch)
{
    return ch == '+' || ch == '-' || ch == '*' || ch == '/' || ch == '^';
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int Tier(char op)
{
    switch (op) {
    case '+':
    case '-': return 0;
    case '*':
    case '/': return 1;
    case '^': return 2;
    default: return -1;
    }
}

bool IsOperatorNode(const TermNode *node)
{
    return Tier(node->op) >= 0;
}

// Longest name of a list that the text starts with; -1 when none.
int LongestPrefix(const char *text, const char *const *names, int count, int *length)
{
    int best = -1;
    size_t bestLength = 0;
    for (int i = 0; i < count; ++i) {
        size_t n = std::strlen(names[i]);
        if (n > bestLength && std::strncmp(text, names[i], n) == 0) {
            best = i;
            bestLength = n;
        }
    }
    *length = (int)bestLength;
    return best;
}

TermLevel &CurrentLevel()
{
    return g_TermState.levels[g_TermState.level];
}

} // namespace

// Page frame corners in the active window's coordinate system.
void Box08TermCopyPageFrame()
{
    const PageFrame &f = SystemActivePageFrame();
    auto system = [](double v) { return v == CALC_NO_VALUE ? 0.0 : v; };
    g_TermState.pageFrame[EDGE_LEFT] = system(ConvertWorldToSystemX(g_ActiveWindow, f.xmin, f.ymin));
    g_TermState.pageFrame[EDGE_BOTTOM] = system(ConvertWorldToSystemY(g_ActiveWindow, f.xmin, f.ymin));
    g_TermState.pageFrame[EDGE_RIGHT] = system(ConvertWorldToSystemX(g_ActiveWindow, f.xmax, f.ymax));
    g_TermState.pageFrame[EDGE_TOP] = system(ConvertWorldToSystemY(g_ActiveWindow, f.xmax, f.ymax));
}

int Box08TermWorkBlocksOutstanding()
{
    return s_WorkBlocksOut;
}

void Box08TermInit()
{
    for (TermLevel &l : g_TermState.levels)
        l = TermLevel{nullptr, nullptr, 0};
    g_TermState.level = -1;
}

TermNode *Box08TermNewEntry()
{
    TermLevel &l = CurrentLevel();
    if (l.used >= TERM_LEVEL_NODES)
        return nullptr;
    TermNode *node = g_TermState.work + g_TermState.level * TERM_LEVEL_NODES + l.used++;
    *node = TermNode{nullptr, nullptr, CALC_NO_VALUE, ' '};
    return node;
}

int Box08TermPushLevel()
{
    if (++g_TermState.level >= TERM_LEVEL_COUNT) {
        Message(MSG_TOO_DEEP);
        g_TermState.level = 0;
        return 0;
    }
    TermLevel &l = CurrentLevel();
    l.used = 0;
    l.root = l.current = Box08TermNewEntry();
    if (!l.root) {
        Message(MSG_TOO_MANY_OPERATORS);
        return 0;
    }
    return 1;
}

void Box08TermPopLevel()
{
    if (g_TermState.level < 0)
        return;
    CurrentLevel().used = 0;
    if (g_TermState.level > 0)
        --g_TermState.level;
}

// A new operator node over `left` with a new empty operand on its right.
static TermNode *MakeOperatorNode(char op, TermNode *left)
{
    TermNode *node = Box08TermNewEntry();
    TermNode *operand = Box08TermNewEntry();
    node->op = op;
    node->left = left;
    node->right = operand;
    CurrentLevel().current = operand;
    return node;
}

int Box08TermAppendOperator(char op)
{
    TermLevel &l = CurrentLevel();
    l.root = MakeOperatorNode(op, l.root);
    return 1;
}

int Box08TermNestOperator(TermNode *parent, char op)
{
    parent->right = MakeOperatorNode(op, parent->right);
    return 1;
}

int Box08TermInsertOperator(char op)
{
    TermLevel &l = CurrentLevel();
    if (l.used + 2 > TERM_LEVEL_NODES) {
        Message(MSG_TOO_MANY_OPERATORS);
        return 0;
    }
    TermNode *parent = nullptr;
    TermNode *node = l.root;
    while (IsOperatorNode(node) && Tier(node->op) < Tier(op)) {
        parent = node;
        node = node->right;
    }
    return parent ? Box08TermNestOperator(parent, op) : Box08TermAppendOperator(op);
}

double Box08TermEvalTree(const TermNode *node)
{
    if (!node)
        return CALC_NO_VALUE;
    double v;
    if (!IsOperatorNode(node)) {
        v = node->value;
    } else {
        double a = Box08TermEvalTree(node->left);
        double b = Box08TermEvalTree(node->right);
        if (a == CALC_NO_VALUE || b == CALC_NO_VALUE)
            return CALC_NO_VALUE;
        switch (node->op) {
        case '+': v = a + b; break;
        case '-': v = a - b; break;
        case '*': v = a * b; break;
        case '/':
            if (b == 0.0)
                return CALC_NO_VALUE;
            v = a / b;
            break;
        default:
            if (a == 0.0 && b == 0.0)
                return CALC_NO_VALUE;
            v = std::pow(a, b);
            break;
        }
    }
    return InRange(v) ? v : CALC_NO_VALUE;
}

int Box08TermApply(double *value, int function)
{
    if (function == FN_NONE)
        return 1;
    const double x = *value;
    const double u = g_TermState.angleDivisor;
    double r = 0.0;
    bool ok = false, checkResult = true;
    // Angle of a trigonometric function in radians, brought into one period.
    auto reducedAngle = [&](double period, double *angle) {
        if (!InRange(x) || !InRange(x * u))
            return false;
        *angle = x * u;
        if (std::fabs(*angle) > period)
            *angle = std::fmod(*angle, period);
        return true;
    };
    switch (function) {
    case FN_SQRT:
        ok = x >= 0.0 && x <= CALC_COORD_LIMIT;
        r = ok ? std::sqrt(x) : 0.0;
        checkResult = false;
        break;
    case FN_SQR:
        ok = InRange(x);
        r = x * x;
        break;
    case FN_LN:
        ok = x > 0.0 && x <= CALC_COORD_LIMIT;
        r = ok ? std::log(x) : 0.0;
        checkResult = false;
        break;
    case FN_ARCSIN:
    case FN_ARCCOS:
        ok = x >= -1.0 && x <= 1.0;
        r = ok ? (function == FN_ARCSIN ? std::asin(x) : std::acos(x)) / u : 0.0;
        break;
    case FN_ARCTAN:
        ok = InRange(x);
        r = std::atan(x) / u;
        break;
    case FN_SIN:
    case FN_COS: {
        double a = 0.0;
        ok = reducedAngle(CALC_TWO_PI, &a);
        r = function == FN_SIN ? std::sin(a) : std::cos(a);
        checkResult = false;
        break;
    }
    case FN_TAN: {
        double a = 0.0;
        ok = reducedAngle(CALC_PI, &a) && std::fabs(std::fabs(a) - CALC_PI / 2) >= TAN_POLE_DISTANCE;
        r = ok ? std::tan(a) : 0.0;
        break;
    }
    case FN_CEIL:
    case FN_FLOOR:
        ok = InRange(x);
        r = function == FN_CEIL ? std::ceil(x) : std::floor(x);
        break;
    default:
        break;
    }
    if (ok && checkResult)
        ok = InRange(r);
    if (!ok) {
        Message(MSG_OUT_OF_DOMAIN);
        *value = CALC_NO_VALUE;
        return 0;
    }
    *value = r;
    return 1;
}

int Box08TermFindFunction(const char *text, int *length)
{
    return LongestPrefix(text, FUNCTION_NAMES, sizeof FUNCTION_NAMES / sizeof FUNCTION_NAMES[0], length);
}

int Box08TermUnit(const char *text, int *length, double *value)
{
    const char *lengthNames[CONVERT_LENGTH_UNIT_COUNT];
    for (int i = 0; i < CONVERT_LENGTH_UNIT_COUNT; ++i)
        lengthNames[i] = g_ConvertLengthUnits[i].name;
    int i = LongestPrefix(text, lengthNames, CONVERT_LENGTH_UNIT_COUNT, length);
    if (i >= 0) {
        if (value)
            *value = *value * g_ConvertLengthUnits[i].factor / g_TermState.lengthDivisor;
        return 1;
    }
    // Angle units, then the degree, minute and second signs.
    const char *angleNames[CONVERT_ANGLE_UNIT_COUNT + CONVERT_ANGLE_SIGN_COUNT];
    double angleFactors[CONVERT_ANGLE_UNIT_COUNT + CONVERT_ANGLE_SIGN_COUNT];
    for (int k = 0; k < CONVERT_ANGLE_UNIT_COUNT; ++k) {
        angleNames[k] = g_ConvertAngleUnits[k].name;
        angleFactors[k] = g_ConvertAngleUnits[k].factor;
    }
    for (int k = 0; k < CONVERT_ANGLE_SIGN_COUNT; ++k) {
        angleNames[CONVERT_ANGLE_UNIT_COUNT + k] = g_ConvertAngleSigns[k];
        angleFactors[CONVERT_ANGLE_UNIT_COUNT + k] = ANGLE_SIGN_FACTORS[k];
    }
    i = LongestPrefix(text, angleNames, CONVERT_ANGLE_UNIT_COUNT + CONVERT_ANGLE_SIGN_COUNT, length);
    if (i >= 0) {
        if (value)
            *value = *value * angleFactors[i] / g_TermState.angleDivisor;
        return 1;
    }
    *length = 0;
    return 0;
}

// 1 with the value, 0 when no name stands at the text, -1 for a reference
// that cannot be resolved (reported).
int Box08TermConstant(const char *text, int *length, double *value)
{
    int best = -1;
    size_t bestLength = 0;
    for (int i = 0; i < CONSTANT_COUNT; ++i) {
        size_t n = std::strlen(CONSTANT_NAMES[i]);
        if (n <= bestLength || std::strncmp(text, CONSTANT_NAMES[i], n) != 0)
            continue;
        const char next = text[n];
        int unitLength = 0;
        if (IsOperator(next) || next == ')' || next == 0 || Box08TermUnit(text + n, &unitLength, nullptr)) {
            best = i;
            bestLength = n;
        }
    }
    *value = CALC_NO_VALUE;
    *length = (int)bestLength;
    if (best < 0)
        return 0;
    const double *page = g_TermState.pageFrame;
    switch (best) {
    case 0: *value = std::exp(1.0); return 1;
    case 1: *value = CALC_PI; return 1;
    case 2:
    case 6: *value = page[EDGE_LEFT]; return 1;
    case 3:
    case 7: *value = page[EDGE_RIGHT]; return 1;
    case 4:
    case 8: *value = page[EDGE_TOP]; return 1;
    case 5:
    case 9: *value = page[EDGE_BOTTOM]; return 1;
    default: break;
    }
    const int reference = best - TERM_FIRST_REFERENCE;
    if (g_TermState.referencesOn && (g_TermState.referenceMask & (1u << reference))) {
        *value = g_TermState.references[reference];
        return 1;
    }
    if (g_TermState.owner) {
        char text91[512];
        std::snprintf(text91, sizeof text91, eAlertTextOK[MSG_UNKNOWN_REFERENCE], CONSTANT_NAMES[best]);
        AlertOk(g_TermState.owner, text91);
    }
    return -1;
}

double Box08TermNumber()
{
    const char *&cursor = g_TermState.cursor;
    char number[TERM_MAX_LENGTH + 2];
    int n = 0;
    bool negative = false;
    if (*cursor == '-') {
        number[n++] = '-';
        negative = true;
        ++cursor;
    } else if (*cursor == '+') {
        ++cursor;
    }
    int length = 0;
    double value = CALC_NO_VALUE;
    int constant = Box08TermConstant(cursor, &length, &value);
    if (constant < 0)
        return CALC_NO_VALUE;
    if (constant > 0) {
        cursor += length;
        if (negative)
            value = -value;
    } else {
        for (;; ++cursor) {
            const char ch = *cursor;
            const bool afterE = n > 0 && number[n - 1] == 'e';
            if (IsDigit(ch) || ch == '.')
                number[n++] = ch;
            else if (ch == ',')
                number[n++] = '.';
            else if (ch == 'e' && (cursor[1] == '+' || cursor[1] == '-' || IsDigit(cursor[1])))
                number[n++] = ch;
            else if ((ch == '+' || ch == '-') && afterE)
                number[n++] = ch;
            else
                break;
        }
        number[n] = 0;
        // Read up to the first character that does not fit ("1.2.3" is 1.2);
        // the rest of the collected text is passed over.
        char *end = number;
        value = std::strtod(number, &end);
        if (end == number || (negative && end == number + 1)) {
            Message(MSG_SYNTAX);
            return CALC_NO_VALUE;
        }
    }
    if (!InRange(value)) {
        Message(MSG_OUT_OF_DOMAIN);
        return CALC_NO_VALUE;
    }
    return value;
}

double Box08TermExpression()
{
    const char *&cursor = g_TermState.cursor;
    for (;;) {
        bool negate = false;
        if (*cursor == '-') {
            negate = true;
            ++cursor;
        } else if (*cursor == '+') {
            ++cursor;
        }
        int length = 0;
        const int function = Box08TermFindFunction(cursor, &length);
        if (function >= 0)
            cursor += length;
        double value;
        if (*cursor == '(') {
            ++cursor;
            if (!*cursor) {
                Message(MSG_SYNTAX);
                return CALC_NO_VALUE;
            }
            if (!Box08TermPushLevel())
                return CALC_NO_VALUE;
            value = Box08TermExpression();
            if (value == CALC_NO_VALUE)
                return CALC_NO_VALUE;
            if (*cursor != ')') {
                Message(MSG_SYNTAX);
                return CALC_NO_VALUE;
            }
            ++cursor;
        } else {
            if (function >= 0) {
                Message(MSG_SYNTAX);
                return CALC_NO_VALUE;
            }
            value = Box08TermNumber();
            if (value == CALC_NO_VALUE)
                return CALC_NO_VALUE;
        }
        TermNode *operand = CurrentLevel().current;
        operand->op = '#';
        operand->value = value;
        if (!Box08TermApply(&operand->value, function))
            return CALC_NO_VALUE;
        if (negate)
            operand->value *= -1.0;
        if (Box08TermUnit(cursor, &length, &operand->value))
            cursor += length;

        if (IsOperator(*cursor)) {
            if (!Box08TermInsertOperator(*cursor))
                return CALC_NO_VALUE;
            ++cursor;
            if (!*cursor)
                return CALC_NO_VALUE; // a term that ends with an operator fails silently
            continue;
        }
        const double result = Box08TermEvalTree(CurrentLevel().root);
        if (result == CALC_NO_VALUE)
            Message(MSG_NOT_COMPUTABLE);
        Box08TermPopLevel();
        return result;
    }
}

void Box08TermNormalize(char *term)
{
    if (!*term)
        return;
    term[TERM_MAX_LENGTH] = 0;
    CharLowerBuffA(term, (DWORD)std::strlen(term));
    char packed[TERM_MAX_LENGTH + 1];
    size_t n = 0;
    for (const char *p = term; *p; ++p)
        if (*p != ' ')
            packed[n++] = *p;
    packed[n] = 0;
    char text[2 * (TERM_MAX_LENGTH + 1)];
    n = 0;
    for (const char *p = packed; *p; ++p) {
        text[n++] = *p;
        if (AddsBeforeDigit(*p) && IsDigit(p[1]))
            text[n++] = '+';
    }
    text[n] = 0;
    text[TERM_MAX_LENGTH] = 0;
    std::memcpy(term, text, std::strlen(text) + 1);
}

double Box08TermEvaluate(const char *term)
{
    TermState &s = g_TermState;
    std::snprintf(s.term, sizeof s.term, "%s", term ? term : "");
    InitErrorBoxDialog(SOURCE_NAME, __LINE__, s.term);
    Box08TermNormalize(s.term);
    s.cursor = s.term;
    Box08TermInit();
    if (!Box08TermPushLevel())
        return CALC_NO_VALUE;
    const double value = Box08TermExpression();
    if (value != CALC_NO_VALUE && *s.cursor) {
        Message(MSG_SYNTAX);
        return CALC_NO_VALUE;
    }
    return value;
}

int Box08TermBegin(HWND owner, double lengthDivisor, double angleDivisor)
{
    TermState &s = g_TermState;
    if (s.busy) {
        AlertOk(owner, eAlertTextOK[MSG_BUSY]);
        return 0;
    }
    s.busy = 1;
    s.owner = owner;
    s.lengthDivisor = lengthDivisor;
    s.angleDivisor = angleDivisor;
    s.work = Box08TermTakeWorkBlock();
    if (!s.work) {
        s.busy = 0;
        return 0;
    }
    Box08TermCopyPageFrame();
    s.referencesOn = 0;
    return 1;
}

void Box08TermEnd()
{
    TermState &s = g_TermState;
    Box08TermGiveBackWorkBlock(s.work);
    s.work = nullptr;
    s.referencesOn = 0;
    s.busy = 0;
}

int Box08TermCalculate(HWND owner, double lengthDivisor, double angleDivisor, const char *term, double *out)
{
    if (!Box08TermBegin(owner, lengthDivisor, angleDivisor))
        return 0;
    const double value = Box08TermEvaluate(term);
    if (value != CALC_NO_VALUE && out)
        *out = value;
    Box08TermEnd();
    return value != CALC_NO_VALUE;
}
