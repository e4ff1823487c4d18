#!/usr/bin/python3
"""Writes tests/data/geodesic-wgs84.csv: WGS84 geodesic distances computed independently of our
code by Debian's python3-geographiclib, for the distance tests (run: /usr/bin/python3 this file)."""
import os
from geographiclib.geodesic import Geodesic

# Liberation points and lofts of a Franco-Belgian-Dutch race road, plus long and awkward lines
# (equator, meridian, antimeridian, near-antipodal, southern and western hemispheres).
PAIRS = [
    (49.5, 2.0, 50.85, 4.35), (49.5, 2.0, 51.2, 3.2), (49.5, 2.0, 52.37, 4.9),
    (49.5, 2.0, 53.2, 6.56), (49.5, 2.0, 51.0, 5.9), (49.5, 2.0, 50.6, 5.5),
    (42.7, 2.9, 52.0908333, 5.1222222), (45.18, 5.72, 51.43, 4.0125),
    (51.5, -0.12, 51.5, -0.1199), (50.0, 4.0, 51.0, 4.0), (0.0, 0.0, 0.0, 1.0),
    (-33.8667, 151.2, 51.5, -0.12), (10.0, 179.5, -10.0, -179.5), (0.0, 0.0, 0.5, 179.7),
    (64.1, -21.9, 40.6, -73.8), (-54.8, -68.3, 78.2, 15.6),
]

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "..", "tests", "data", "geodesic-wgs84.csv")
with open(out, "w") as f:
    f.write("lat1,lon1,lat2,lon2,metres\n")
    for lat1, lon1, lat2, lon2 in PAIRS:
        s12 = Geodesic.WGS84.Inverse(lat1, lon1, lat2, lon2)["s12"]
        f.write(f"{lat1},{lon1},{lat2},{lon2},{s12:.6f}\n")
