/* The proof's choices: every value at once. Frama-C's builtins stand for any
 * value in a range; a broken platform rule is a precondition that must hold. */
#include "__fc_builtin.h"

#include "../platform/choice.h"

int KdChoose(int lo, int hi) {
    return Frama_C_interval(lo, hi);
}

void KdChooseBytes(char *out, size_t count) {
    Frama_C_make_unknown(out, count);
}

/* On top of this, every field the module reads is read through a volatile
 * lvalue, which the analysis takes as any value at each read. */
void KdMonitorWrites(char *view, size_t viewBytes) {
    Frama_C_make_unknown(view, viewBytes);
}

/*@ requires platform_rule: holds != 0;
    assigns \nothing; */
void KdViolation(int holds, const char *rule);
