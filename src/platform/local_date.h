#ifndef BRELLAM_PLATFORM_LOCAL_DATE_H_
#define BRELLAM_PLATFORM_LOCAL_DATE_H_

namespace brellam {

// A day of the local calendar, as the clock gives it.
struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_LOCAL_DATE_H_
