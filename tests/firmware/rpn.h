/* The RPN calculator: number entry, the stack X, Y, Z, T and LAST X in the
 * memory image, the four operations and a few storage registers. */
#pragma once

enum rpn_op {
    RPN_ADD, RPN_SUBTRACT, RPN_MULTIPLY, RPN_DIVIDE,
    RPN_ENTER, RPN_CHS, RPN_CLX, RPN_ROLL_DOWN, RPN_SWAP,
};

/* Forgets a number being keyed in (power-on, a cleared memory). */
void rpn_reset(void);
/* One digit character ('0' to '9' or '.') of a number being keyed in. */
void rpn_digit(char digit);
/* 1 while a number is being keyed in. */
int rpn_entering(void);
/* Clears the number being keyed in ("0." again). */
void rpn_clear_entry(void);
/* 0 when the operation failed and showed an error (division by zero). */
int rpn_operate(enum rpn_op op);
void rpn_store(int n);
void rpn_recall(int n);
/* Shows the entry or X. */
void rpn_show(void);
