/* Prints the two-part JD of a date with a hundredth of a second and the date read back. */
#include <stdio.h>

#include <datepkg/ostrel.h>

int main(void) {
    double jd1 = 0, jd2 = 0;
    char text[OSTREL_ISO_SIZE];
    int status = ostrel_from_iso("2000-01-01T12:00:00.01", OSTREL_MIXED, &jd1, &jd2);
    if (status == OSTREL_OK) status = ostrel_to_iso(jd1, jd2, OSTREL_MIXED, 2, text, sizeof text);
    if (status != OSTREL_OK) {
        fprintf(stderr, "%s\n", ostrel_strerror(status));
        return 1;
    }
    printf("%.1f %.17g %s\n", jd1, jd2, text);
    return 0;
}
