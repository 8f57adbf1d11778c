"""Writes a shapefile of random quadrilaterals with GDAL (the redraw
benchmark's kind of polygons: 2 to 16 map units across, in 0 .. 480 east and
0 .. 270 north) and a numeric "ID" per row.

Usage: /usr/bin/python3 bench/write_polygons.py <file.shp> <count>
"""
import random
import sys

from osgeo import ogr


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    rng = random.Random(20240315)
    driver = ogr.GetDriverByName("ESRI Shapefile")
    source = driver.CreateDataSource(path)
    layer = source.CreateLayer("polygons", geom_type=ogr.wkbPolygon)
    layer.CreateField(ogr.FieldDefn("ID", ogr.OFTInteger))
    definition = layer.GetLayerDefn()
    layer.StartTransaction()
    for i in range(count):
        cx, cy, r = rng.uniform(8, 472), rng.uniform(8, 262), rng.uniform(1, 8)
        w = [rng.uniform(-0.3, 0.3) for _ in range(3)]
        ring = ogr.Geometry(ogr.wkbLinearRing)
        for x, y in ((cx - r + w[0] * r, cy - r), (cx - r, cy + r + w[1] * r), (cx + r + w[2] * r, cy + r),
                     (cx + r, cy - r + w[0] * r), (cx - r + w[0] * r, cy - r)):
            ring.AddPoint_2D(x, y)
        polygon = ogr.Geometry(ogr.wkbPolygon)
        polygon.AddGeometry(ring)
        feature = ogr.Feature(definition)
        feature.SetField("ID", i + 1)
        feature.SetGeometry(polygon)
        layer.CreateFeature(feature)
    layer.CommitTransaction()
    source = None
    return 0


if __name__ == "__main__":
    sys.exit(main())
