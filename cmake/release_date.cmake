# The release's day as the seconds and the Debian changelog line that the build stamps with it.
# In: TESSERA_RELEASE_DATE (YYYY-MM-DD). Out: TESSERA_RELEASE_EPOCH, the release day's midnight UTC in
# seconds since 1970, and TESSERA_RELEASE_RFC2822 ("Wed, 09 Dec 2026 00:00:00 +0000").
if(NOT TESSERA_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "TESSERA_RELEASE_DATE is YYYY-MM-DD, not '${TESSERA_RELEASE_DATE}'")
endif()
set(release_year ${CMAKE_MATCH_1})
set(release_month_text ${CMAKE_MATCH_2})
set(release_day_text ${CMAKE_MATCH_3})
# Leading zeros would read as octal in math(EXPR): strip them.
string(REGEX REPLACE "^0" "" release_month "${release_month_text}")
string(REGEX REPLACE "^0" "" release_day "${release_day_text}")

# Days since 1970-01-01 of a day of the Gregorian calendar, counted from March so that a leap day ends its year.
if(release_month GREATER 2)
    math(EXPR shifted_month "${release_month} - 3")
    set(shifted_year ${release_year})
else()
    math(EXPR shifted_month "${release_month} + 9")
    math(EXPR shifted_year "${release_year} - 1")
endif()
math(EXPR era "${shifted_year} / 400")
math(EXPR year_of_era "${shifted_year} - ${era} * 400")
math(EXPR day_of_year "(153 * ${shifted_month} + 2) / 5 + ${release_day} - 1")
math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
math(EXPR release_days "${era} * 146097 + ${day_of_era} - 719468")
math(EXPR TESSERA_RELEASE_EPOCH "${release_days} * 86400")

# 1970-01-01 was a Thursday.
set(weekday_names Thu Fri Sat Sun Mon Tue Wed)
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR weekday "${release_days} % 7")
math(EXPR month_index "${release_month} - 1")
list(GET weekday_names ${weekday} weekday_name)
list(GET month_names ${month_index} month_name)
set(TESSERA_RELEASE_RFC2822 "${weekday_name}, ${release_day_text} ${month_name} ${release_year} 00:00:00 +0000")
