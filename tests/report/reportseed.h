#pragma once

#include "../support/testdb.h"

#include <utility>

namespace ReportSeed {
inline const QString Race = QStringLiteral("12340526");

// A club with two members, a race from "Peronne" with three arrivals and one bird that did not
// arrive, and the lofts' distances.
inline void seed(TestDb &db, int mode = 0)
{
    TdmORVS &dm = db.dm();
    db.insertClub("NC", mode);
    dm.exec("UPDATE ORV_ClubData SET ClubName='North Club', Street='1 High Street', City='Leeds', PostCode='LS1 1AA'");
    dm.exec("INSERT INTO ORV_LiberateSite (LiberCode, LiberSite, LiberSiteAbbr) VALUES ('1234','Peronne','PER')");
    dm.exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, RaceCode, "
            "DeleteMark) VALUES ('NC','1234','Peronne','PER','2026-05-26','07:00:00',?,0)",
            {Race});
    for (const auto &[loft, name] : {std::pair{"L1", "Alice Archer"}, std::pair{"L2", "Bob Brown"}}) {
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName, AssociationCode) VALUES (?,?,'BE')", {loft, name});
        dm.exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('1234',?,?,?)",
                {loft, QString(loft) == "L1" ? 402 : 398, QString(loft) == "L1" ? 1234 : 56});
        dm.exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID) VALUES (?,?)", {loft, QString("C") + loft});
    }
    struct Bird
    {
        const char *loft, *ring, *sex, *colour, *back, *fly;
        double speed;
        QVariant vari;
        const char *marked;
    };
    const Bird birds[] = {
        {"L1", "BE-26-1001", "U", "BCHEQ", "2026-05-26 12:00:00.000", "05:00:00.000", 1500.123, 2,
         "2026-05-25 18:00:00"},
        {"L2", "BE-26-2001", "H", "RED", "2026-05-26 12:01:05.000", "05:01:05.000", 1490.5, -1, "2026-05-25 18:01:00"},
        {"L1", "BE-26-1002", "C", "BL", "2026-05-26 12:10:00.000", "05:10:00.000", 1450, 0, "2026-05-25 18:02:00"},
        {"L2", "BE-26-2002", "H", "BL", "", nullptr, 0, QVariant(), "2026-05-25 18:03:00"},
    };
    for (const Bird &b : birds) {
        dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, ColorType, DeleteMark) VALUES (?,?,?,?,0)",
                {b.loft, b.ring, b.sex, b.colour});
        dm.exec("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, FlySpeed, TimeVari, "
                "FlyTime, MarkedTime, ClockID, RaceCode) VALUES ('NC','1234','2026-05-26',?,?,?,?,?,?,?,?)",
                {b.ring, b.back, b.speed, b.vari, b.fly ? QVariant(b.fly) : QVariant(), b.marked,
                 QString("C") + b.loft, Race});
    }
}

} // namespace ReportSeed
