// The term evaluator behind every numeric field: arithmetic with + - * / ^,
// parentheses, functions, constants and unit suffixes after any operand.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "geometry/calc.h" // CALC_NO_VALUE: what every failure gives

// Characters of a term that are read; the rest is cut.
constexpr int TERM_MAX_LENGTH = 250;
// Levels: the term itself and nine nested pairs of parentheses.
constexpr int TERM_LEVEL_COUNT = 10;
// Nodes of one level: its start and two per operator, so nine operators.
constexpr int TERM_LEVEL_NODES = 20;
// References of the coordinate calculator (constant names 10 to 23).
constexpr int TERM_FIRST_REFERENCE = 10;
constexpr int TERM_REFERENCE_COUNT = 14;

// One node of a level's tree: an empty operand (op ' ', value 1e300), an
// operand with its value ('#'), or an operator over left and right.
struct TermNode {
    TermNode *left;
    TermNode *right;
    double value;
    char op;
};
static_assert(sizeof(TermNode) == 24, "a node is 24 bytes");
static_assert(offsetof(TermNode, value) == 8, "value follows the two links");

// The work block: the nodes of all levels and one spare node.
constexpr size_t TERM_WORK_BLOCK_SIZE = (TERM_LEVEL_COUNT * TERM_LEVEL_NODES + 1) * sizeof(TermNode);
static_assert(TERM_WORK_BLOCK_SIZE == 4824, "the work block is 4824 bytes");

struct TermLevel {
    TermNode *root;
    TermNode *current; // the operand that receives the next value
    int used;          // nodes used, 0 to 20
};

// The evaluator's state; one evaluation at a time.
struct TermState {
    uint32_t busy;
    HWND owner; // owner of the messages; NULL shows none
    double lengthDivisor, angleDivisor;
    char term[TERM_MAX_LENGTH + 1];
    const char *cursor;
    // Active page frame in the current system: left, bottom, right, top.
    double pageFrame[4];
    uint32_t referencesOn;
    // Values of the calculator's references and which of them its mode allows
    // (bit i for reference name TERM_FIRST_REFERENCE + i).
    double references[TERM_REFERENCE_COUNT];
    uint32_t referenceMask;
    TermNode *work;
    TermLevel levels[TERM_LEVEL_COUNT];
    int level; // -1 (none) to 9
};
extern TermState g_TermState;

// Evaluates a term; 1 with the value in out, or 0 after one message to owner
// (none when owner is NULL, none for a term that ends with an operator).
int Box08TermCalculate(HWND owner, double lengthDivisor, double angleDivisor, const char *term, double *out);

// Takes the evaluator for one evaluation or a calculator run: 0 when it is
// busy (eAlertTextOK entry 130 to owner) or there is no memory; otherwise
// the work block is taken, the page frame copied and the references off
// until Box08TermEnd.
int Box08TermBegin(HWND owner, double lengthDivisor, double angleDivisor);
void Box08TermEnd();

// One term on a fresh level set of the work block in g_TermState, with the
// references as they are set: the value, or CALC_NO_VALUE after a message to
// the state's owner (text left over is a syntax error).
double Box08TermEvaluate(const char *term);

// The parser's operations on g_TermState.
void Box08TermInit();
TermNode *Box08TermNewEntry();
int Box08TermPushLevel();
void Box08TermPopLevel();
int Box08TermInsertOperator(char op);
int Box08TermAppendOperator(char op);
int Box08TermNestOperator(TermNode *parent, char op);
int Box08TermApply(double *value, int function);
double Box08TermEvalTree(const TermNode *node);
double Box08TermExpression();
int Box08TermFindFunction(const char *text, int *length);
int Box08TermUnit(const char *text, int *length, double *value);
int Box08TermConstant(const char *text, int *length, double *value);
double Box08TermNumber();
void Box08TermNormalize(char *term);

// The work block of one evaluation (or of a whole calculator run), from the
// tracked temporary memory; null when there is no memory.
TermNode *Box08TermTakeWorkBlock();
void Box08TermGiveBackWorkBlock(TermNode *block);
// Copies the active page's frame, in the current system, for the page names.
void Box08TermCopyPageFrame();

// Work blocks taken and not yet given back (0 between evaluations).
int Box08TermWorkBlocksOutstanding();
