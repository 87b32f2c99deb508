#include "MultiRowInsert.h"

#include <gtest/gtest.h>

namespace {
// Every marker carries its column's type: DB2 wants it in a select list, and Oracle wants the
// same type in every branch of the union, which a null bound as text would not have.
TEST(MultiRowInsert, CastsEveryMarkerToItsColumnsTypeInBothDialects) {
    const QStringList columns = {"IDIMP", "DATUM", "ISIN", "CENA"};
    EXPECT_EQ(MultiRowInsert::sql("DPATVPIMP", columns, 2, false),
              "INSERT INTO DPATVPIMP (IDIMP, DATUM, ISIN, CENA) SELECT CAST(:R0C0 AS NUMBER), "
              "CAST(:R0C1 AS DATE), CAST(:R0C2 AS VARCHAR2(12)), CAST(:R0C3 AS NUMBER) FROM dual "
              "UNION ALL SELECT CAST(:R1C0 AS NUMBER), CAST(:R1C1 AS DATE), CAST(:R1C2 AS "
              "VARCHAR2(12)), CAST(:R1C3 AS NUMBER) FROM dual");
    EXPECT_EQ(MultiRowInsert::sql("DPATVPIMP", columns, 1, true),
              "INSERT INTO DPATVPIMP (IDIMP, DATUM, ISIN, CENA) SELECT CAST(:R0C0 AS DOUBLE), "
              "CAST(:R0C1 AS TIMESTAMP), CAST(:R0C2 AS VARCHAR(12)), CAST(:R0C3 AS DOUBLE) FROM "
              "SYSIBM.SYSDUMMY1");
    EXPECT_EQ(MultiRowInsert::markerType("DPATVP_SFVP", "SFVP_VEK", true), "BIGINT");
    EXPECT_EQ(MultiRowInsert::markerType("DPATVP_SFVP", "DANSPR_SFVP", true), "DATE");
}
} // namespace
