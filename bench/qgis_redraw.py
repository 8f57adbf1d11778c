"""Renders the redraw benchmark's shapefile with QGIS (PyQGIS, a sequential
map render job) as bench_RedrawBench draws it: 1920 x 1080 pixels of 0.25 mm,
map units 0 .. 480 east and 0 .. 270 north, filled solid and with dots on a
2 mm grid, black hairline outlines, without antialiasing. Prints the best of five runs of each, in
milliseconds, after one run to warm up.

Usage: /usr/bin/python3 bench/qgis_redraw.py <folder with bench.shp>
"""
import os
import sys
import time

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from qgis.core import (QgsApplication, QgsFillSymbol, QgsMapRendererSequentialJob, QgsMapSettings,
                       QgsMarkerSymbol, QgsPointPatternFillSymbolLayer, QgsRectangle, QgsSimpleLineSymbolLayer,
                       QgsSingleSymbolRenderer, QgsVectorLayer)
from qgis.PyQt.QtCore import QSize
from qgis.PyQt.QtGui import QColor


def main():
    folder = sys.argv[1]
    app = QgsApplication([], False)
    app.initQgis()
    layer = QgsVectorLayer(os.path.join(folder, "bench.shp"), "bench", "ogr")
    if not layer.isValid() or layer.featureCount() != 100000:
        print("the layer cannot be read", file=sys.stderr)
        return 2

    settings = QgsMapSettings()
    settings.setLayers([layer])
    settings.setExtent(QgsRectangle(0, 0, 480, 270))
    settings.setOutputSize(QSize(1920, 1080))
    settings.setOutputDpi(101.6)  # 0.25 mm a pixel
    settings.setBackgroundColor(QColor(255, 255, 255))
    # Our redraw draws without antialiasing; so does QGIS here.
    settings.setFlag(QgsMapSettings.Antialiasing, False)

    solid = QgsFillSymbol.createSimple({"color": "102,187,106", "outline_color": "0,0,0", "outline_width": "0"})

    dots = QgsFillSymbol()
    dots.deleteSymbolLayer(0)
    pattern = QgsPointPatternFillSymbolLayer()
    pattern.setDistanceX(2)
    pattern.setDistanceY(2)
    pattern.setSubSymbol(QgsMarkerSymbol.createSimple(
        {"name": "circle", "size": "0.36", "color": "33,33,33", "outline_color": "33,33,33", "outline_width": "0.2"}))
    dots.appendSymbolLayer(pattern)
    outline = QgsSimpleLineSymbolLayer(QColor(0, 0, 0), 0)
    dots.appendSymbolLayer(outline)

    def render():
        job = QgsMapRendererSequentialJob(settings)
        job.start()
        job.waitForFinished()
        return job.renderedImage()

    for name, symbol in (("solid", solid), ("pattern", dots)):
        layer.setRenderer(QgsSingleSymbolRenderer(symbol.clone()))
        render()
        best = None
        for _ in range(5):
            t0 = time.perf_counter()
            render()
            ms = (time.perf_counter() - t0) * 1000
            best = ms if best is None or ms < best else best
        print(f"qgis {name} {best:.0f}", flush=True)
    return 0


if __name__ == "__main__":
    # Leave without tearing the library down: its teardown may crash on the
    # offscreen platform after everything is measured.
    os._exit(main())
