/* Program memory: a few recordable steps, kept in each model's own byte format. */
#pragma once

#include "rpn.h"

/* The most steps this calculator records. */
#define PROGRAM_MAX_STEPS 7

/* The step byte of an operation, a STO n or a RCL n, and of a digit, in the running model's format. */
int program_op_byte(enum rpn_op op);
int program_store_byte(int n);
int program_recall_byte(int n);
int program_digit_byte(char digit);

/* Appends a step; 0 when the memory is full. */
int program_record(int byte);
/* The number of the last recorded step. */
int program_line(void);
