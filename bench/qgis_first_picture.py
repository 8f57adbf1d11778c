"""QGIS's time to its first picture of a shapefile: the layer opened and
drawn (a sequential map render job, 1920 x 1080 pixels, map units -14 .. 494
east and -8 .. 278 north as tolvane-render shows them at 1:1000 on its
reference screen, filled solid with black hairline outlines,
without antialiasing) and written as PNG. Prints the milliseconds from
opening the layer to the written picture.

Usage: /usr/bin/python3 bench/qgis_first_picture.py <file.shp> <out.png>
"""
import os
import sys
import time

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from qgis.core import (QgsApplication, QgsFillSymbol, QgsMapRendererSequentialJob, QgsMapSettings, QgsRectangle,
                       QgsSingleSymbolRenderer, QgsVectorLayer)
from qgis.PyQt.QtCore import QSize
from qgis.PyQt.QtGui import QColor


def main():
    path, out = sys.argv[1], sys.argv[2]
    app = QgsApplication([], False)
    app.initQgis()
    t0 = time.perf_counter()
    layer = QgsVectorLayer(path, "polygons", "ogr")
    if not layer.isValid():
        print("the layer cannot be read", file=sys.stderr)
        return 2
    layer.setRenderer(QgsSingleSymbolRenderer(QgsFillSymbol.createSimple(
        {"color": "102,187,106", "outline_color": "0,0,0", "outline_width": "0"})))
    settings = QgsMapSettings()
    settings.setLayers([layer])
    settings.setExtent(QgsRectangle(-14, -7.99, 494, 277.99))
    settings.setOutputSize(QSize(1920, 1080))
    settings.setOutputDpi(96)
    settings.setBackgroundColor(QColor(255, 255, 255))
    settings.setFlag(QgsMapSettings.Antialiasing, False)
    job = QgsMapRendererSequentialJob(settings)
    job.start()
    job.waitForFinished()
    job.renderedImage().save(out, "PNG")
    print(f"qgis {(time.perf_counter() - t0) * 1000:.0f}", flush=True)
    return 0


if __name__ == "__main__":
    # Leave without tearing the library down (its teardown may crash on the
    # offscreen platform).
    os._exit(main())
