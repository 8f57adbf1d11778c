#!/usr/bin/env bash
# The mouse tools by hand on the real program: starts it under a virtual
# display (Xvfb) on a small project of its own (a large L-shaped polygon in a
# locked layer, two plots in its notch in the current layer) and drives the
# mouse with xdotool as a user would:
#   1. picks a plot, then drags a rectangle inside the L's box across none
#      of its edges (nothing selected: no highlight on the screen);
#   2. digitizes a polygon of four clicks and a double click, the 4th click
#      3 and 2 pixels off a vertex of the L;
#   3. drags a plot by 20 pixels with the pick tool (the journal grows);
#   4. drags it with Ctrl held (a copy is appended to the layer);
#   5. drags a label with the label tool (its shift goes to the ".Shl");
#   6. zooms into a rectangle and 7. pans with the right button (the scale
#      and centre of the project saved with Ctrl+S).
# The map's place on the screen and the tool buttons are found on a picture
# of the screen. After each step it checks what the program wrote and says
# what it found.
#
#   tools/xdotool-digitize.sh [build folder]      (default: build)
#
# Needs Xvfb, xdotool, xwd and python3 (tools/deps.sh display).
# The run works in a temporary folder with a settings store of its own;
# KEEP=1 keeps that folder (with a picture of the screen after each step,
# shots/*.png) and prints its name. Exit status 0 when every check passed.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/xdotool-digitize.sh [build folder]      (default: build)
  Starts the built program under Xvfb on a small project of its own and drives
  its mouse tools with xdotool (picking, digitizing with snapping, dragging,
  copying, a label drag, zooming, panning), checking the files it writes.
  Needs Xvfb, xdotool, xwd and python3 (tools/deps.sh display); KEEP=1 keeps
  the work folder with a picture of the screen after each step.
EOF
}

case "${1:-}" in
  -h|--help) usage; exit 0 ;;
  -*) echo "xdotool-digitize.sh: unknown option \"$1\"" >&2; usage >&2; exit 2 ;;
esac
if [ $# -gt 1 ] || { [ $# = 1 ] && [ ! -d "$1" ]; }; then
  echo "xdotool-digitize.sh: \"$*\" is no build folder" >&2; usage >&2; exit 2
fi
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
PROGRAM="$BUILD/program"
for tool in Xvfb xdotool xwd python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (tools/deps.sh display)" >&2; exit 2; }
done
[ -x "$PROGRAM/tolvane" ] && [ -x "$BUILD/tools/setreg" ] || { echo "build first: tools/build.sh" >&2; exit 2; }

WORK=$(mktemp -d /tmp/tolvane-xdotool.XXXXXX)
mkdir -p "$WORK/shots"
XVFB_PID="" PROGRAM_PID=""
cleanup() {
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  if [ "${KEEP:-0}" = 1 ]; then echo "kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# ---------------------------------------------------------------------------
# The helper: the project's files, reading the screen, checking the files.
HELPER="$WORK/helper.py"
cat >"$HELPER" <<'PYTHON'
import struct, sys, os, zlib

# The large L of layer "contour" and its vertex E; two plots in its notch.
L = [(930.125, 4940.375), (930.125, 5060.625), (1070.875, 5060.625), (1070.875, 5010.5),
     (1000.25, 5010.5), (1000.25, 4940.375), (930.125, 4940.375)]
E = (1000.25, 5010.5)
PLOTS = [[(1005, 4945), (1005, 4975), (1035, 4975), (1035, 4945), (1005, 4945)],
         [(1045, 4945), (1045, 4975), (1065, 4975), (1065, 4945), (1045, 4945)]]

def polygon(ring):
    xs = [p[0] for p in ring]; ys = [p[1] for p in ring]
    b = struct.pack('<i4d3i', 5, min(xs), min(ys), max(xs), max(ys), 1, len(ring), 0)
    return b + b''.join(struct.pack('<2d', *p) for p in ring)

def write_layer(folder, base, rings):
    shp, shx, offset = b'', b'', 100
    for i, ring in enumerate(rings):
        c = polygon(ring)
        shp += struct.pack('>2i', i + 1, len(c) // 2) + c
        shx += struct.pack('>2i', offset // 2, len(c) // 2)
        offset += 8 + len(c)
    def head(words):
        return struct.pack('>i20xi', 9994, words) + struct.pack('<2i64x', 1000, 5)
    open(os.path.join(folder, base + '.shp'), 'wb').write(head((100 + len(shp)) // 2) + shp)
    open(os.path.join(folder, base + '.shx'), 'wb').write(head((100 + len(shx)) // 2) + shx)
    dbf = bytearray(65)
    dbf[0:4] = bytes([3, 124, 1, 1])
    struct.pack_into('<iHH', dbf, 4, len(rings), 65, 11)
    dbf[32:34] = b'ID'; dbf[43] = ord('N'); dbf[48] = 10; dbf[64] = 0x0D
    for r in range(1, len(rings) + 1):
        dbf += b' ' + str(r).rjust(10).encode()
    open(os.path.join(folder, base + '.dbf'), 'wb').write(bytes(dbf) + b'\x1a')

def fixture(work):
    folder = os.path.join(work, 'scene')
    os.makedirs(folder)
    write_layer(folder, 'contour', [L])
    write_layer(folder, 'plots', PLOTS)
    layer = ('Layer={n}\n{{\n   FileName={f}.shp\n   Name={name}\n   MapType=1\n   ObjType=3\n'
             '   PenColor=0\n   PenStyle=1\n   PenWidth=0.01\n   PenMode=4\n   Visible=True\n   Snap=True\n'
             '   Edited={edited}\n{labels}}}\n')
    label = '   Label=1\n   {\n      Visible=False\n      FieldName=ID\n   }\n'
    text = ('!Tolvane v.2.2.0.2\n\nZoomPanel=True\nX=1000\nY=5000\nScale=2000\nSnapPoint=True\n'
            'SnapLine=False\nPointAutoIns=True\nPointAutoDel=True\nActiveLayer=1\nLayersCount=2\n\n'
            + layer.format(n=1, f='contour', name='Контур', edited='False', labels='')
            + layer.format(n=2, f='plots', name='Участки', edited='True', labels=label))
    open(os.path.join(work, 'scene.tvp'), 'wb').write(text.replace('\n', '\r\n').encode('cp1251'))

# ---- the screen (xwd of the root window, 32-bit pixels) ----
def screen(path):
    d = open(path, 'rb').read()
    h = struct.unpack('>25I', d[:100])
    w, hgt, order, bpp, bpl = h[4], h[5], h[7], h[11] // 8, h[12]
    off = h[0] + h[19] * 12
    def px(x, y):
        i = off + y * bpl + bpp * x
        return (d[i + 2], d[i + 1], d[i]) if order == 0 else (d[i + bpp - 3], d[i + bpp - 2], d[i + bpp - 1])
    return w, hgt, px

def png(path, out):
    w, h, px = screen(path)
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(px(x, y))
    def chunk(t, data):
        return struct.pack('>I', len(data)) + t + data + struct.pack('>I', zlib.crc32(t + data) & 0xffffffff)
    open(out, 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>2I5B', w, h, 8, 2, 0, 0, 0))
                          + chunk(b'IDAT', zlib.compress(bytes(raw), 6)) + chunk(b'IEND', b''))

def clusters(columns, gap):
    out, start, last = [], None, None
    for x in columns:
        if start is None:
            start = last = x
        elif x - last > gap:
            out.append((start, last)); start = last = x
        else:
            last = x
    if start is not None:
        out.append((start, last))
    return out

def longest_run(values, good):
    best, start = (0, 0, -1), None
    for i, v in enumerate(values + [None]):
        if v is not None and good(v):
            start = i if start is None else start
        elif start is not None:
            if i - start > best[0]:
                best = (i - start, start, i - 1)
            start = None
    return best[1], best[2]

def calibrate(path):
    """The map control's rectangle (the white area of the frame), the map's
    scale and place from the box of the L drawn in it, and the tool buttons
    of the first tool bar row (the first one down, the zoom tool, framed)."""
    w, h, px = screen(path)
    black, white = (0, 0, 0), (255, 255, 255)
    # The frame on the black root window.
    fw = max(x for x in range(w) if px(x, 40) != black) + 1
    fh = max(y for y in range(h) if px(20, y) != black) + 1
    top, bottom = longest_run([px(fw - 20, y) for y in range(fh)], lambda c: c == white)
    left, right = longest_run([px(x, top + 20) for x in range(fw)], lambda c: c == white)
    # The L's box: everything drawn in the control.
    ink = [(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1) if px(x, y) != white]
    if not ink:
        sys.exit('nothing is drawn in the map')
    x0, x1 = min(x for x, _ in ink), max(x for x, _ in ink)
    y0, y1 = min(y for _, y in ink), max(y for _, y in ink)
    # Pixels per metre along each axis (the screen's pixels need not be
    # square); the L's middle is (1000.5, 5000.5).
    sx, sy = (x1 - x0) / 140.75, (y1 - y0) / 120.25
    ox = (x0 + x1) / 2 + (1000 - 1000.5) * sx
    oy = (y0 + y1) / 2 + (5000.5 - 5000) * sy                # py = oy - (y - 5000) sy
    # The framed button: a run of 12 or more pixels at the frame's left, twice.
    from collections import Counter
    bg = Counter(px(x, y) for y in range(top) for x in range(left, right + 1, 3)).most_common(1)[0][0]
    def ink_at(x, y): return sum(abs(a - b) for a, b in zip(px(x, y), bg)) > 60
    # A frame: a top edge, rows below it inked only at its two sides, a
    # bottom edge.
    def edge(y):
        run = [x for x in range(min(40, w)) if ink_at(x, y)]
        return (run[0], run[-1]) if len(run) >= 12 and run[-1] - run[0] + 1 == len(run) else None
    def hollow(y, a, b):
        return all(ink_at(a - 1, yy) or ink_at(a, yy) for yy in range(y + 2, y + 6)) and \
               not any(ink_at(x, yy) for yy in range(y + 2, y + 6) for x in range(a + 3, b - 2))
    b0 = b1 = None
    for y in range(top - 8):
        e = edge(y)
        if e and e[0] > 0 and hollow(y, *e):
            b0 = y
            b1 = next((yy for yy in range(y + 8, top) if edge(yy) == e), None)
            break
    if b0 is None or b1 is None:
        sys.exit('the tool bar is not found')
    cols = [x for x in range(min(400, w)) if any(ink_at(x, y) for y in range(b0, b1 + 1))]
    buttons = clusters(cols, 2)
    if len(buttons) < 9:
        sys.exit('the tool buttons are not found')
    print('SX=%.6f SY=%.6f OX=%.3f OY=%.3f LEFT=%d TOP=%d WIDTH=%d HEIGHT=%d BY=%d' %
          (sx, sy, ox, oy, left, top, right - left + 1, bottom - top + 1, (b0 + b1) // 2))
    print('BUTTONS="%s"' % ' '.join(str((a + b) // 2) for a, b in buttons[:9]))

# ---- the files the program wrote ----
def records(base):
    shx = open(base + '.shx', 'rb').read()
    shp = open(base + '.shp', 'rb').read()
    out = []
    for k in range((len(shx) - 100) // 8):
        at = 2 * struct.unpack_from('>i', shx, 100 + 8 * k)[0] + 8
        n_parts, n_points = struct.unpack_from('<2i', shp, at + 36)
        first = at + 44 + 4 * n_parts
        out.append((n_parts, [struct.unpack_from('<2d', shp, first + 16 * i) for i in range(n_points)]))
    return out

def dbf_id(base, row):
    d = open(base + '.dbf', 'rb').read()
    hl, rl = struct.unpack_from('<HH', d, 8)
    return d[hl + (row - 1) * rl + 1: hl + (row - 1) * rl + 11].decode().strip()

def check(ok, text):
    print(('ok      ' if ok else 'FAILED  ') + text)
    return ok

def box(points):
    xs = [p[0] for p in points]; ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)

def project(work):
    values = {}
    for line in open(os.path.join(work, 'scene.tvp'), 'rb').read().decode('cp1251').splitlines():
        if '=' in line and not line.startswith(' '):
            k, v = line.split('=', 1)
            values[k] = float(v.replace(',', '.')) if k in ('X', 'Y', 'Scale') else v
    return values

def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == 'fixture':
        fixture(args[0])
    elif cmd == 'highlight':
        w, h, px = screen(args[0])
        n = sum(1 for y in range(0, h, 2) for x in range(0, w, 2) if px(x, y) == (255, 255, 0))
        sys.exit(0 if check((n > 0) == (args[1] == 'yes'),
                            ('a selection is highlighted' if args[1] == 'yes' else 'nothing is selected')
                            + ' (%d highlighted pixels)' % n) else 1)
    elif cmd == 'png':
        png(args[0], args[1])
    elif cmd == 'calibrate':
        calibrate(args[0])
    elif cmd == 'label':
        # A ".Lbl" record of plot 2's label (object number 2, definition 0)
        # at control pixel (x, y), its box 12 x 8 pixels either way.
        work, x, y, ux, uy = args[0], float(args[1]), float(args[2]), float(args[3]), float(args[4])
        r = bytearray(200)
        r[0:2] = b'ID'
        struct.pack_into('<4i', r, 50, 2, 1, 1, 0)
        struct.pack_into('<8d', r, 78, x * ux, -y * uy, x, y, x - 12, y - 8, x + 12, y + 8)
        open(os.path.join(work, 'scene', 'plots.Lbl'), 'wb').write(bytes(r))
    elif cmd == 'digitized':
        work, c = args[0], [tuple(map(float, a.split(','))) for a in args[1:]]
        recs = records(os.path.join(work, 'scene', 'plots'))
        good = check(len(recs) == 3, 'the layer holds 3 objects (%d)' % len(recs))
        if len(recs) == 3:
            parts, ring = recs[2]
            good &= check(parts == 1 and len(ring) == 6, 'one ring of 5 points and the closing one (%d)' % len(ring))
            good &= check(len(ring) > 0 and ring[0] == ring[-1], 'the ring is closed')
            good &= check(len(ring) > 3 and ring[3] == E, 'the 4th point is the vertex E exactly %r' % (ring[3:4],))
            good &= check(dbf_id(os.path.join(work, 'scene', 'plots'), 3) == '3', 'the new row\'s "ID" is 3')
        sys.exit(0 if good else 1)
    elif cmd == 'copied':
        work, dx, dy = args[0], float(args[1]), float(args[2])
        recs = records(os.path.join(work, 'scene', 'plots'))
        good = check(len(recs) == 4, 'Ctrl-drag: the layer holds 4 objects (%d)' % len(recs))
        if len(recs) == 4:
            a, b = box(recs[0][1]), box(recs[3][1])
            # The copy is of plot 1 as moved by the drag before (+d in x),
            # copied d lower.
            good &= check(abs(b[0] - a[0] - dx) < 0.01 * dx and abs(b[1] - a[1] + dy) < 0.01 * dy,
                          'the copy lies %.2f m right and %.2f m down of plot 1 (%.2f, %.2f)'
                          % (dx, dy, b[0] - a[0], a[1] - b[1]))
        sys.exit(0 if good else 1)
    elif cmd == 'shl':
        work, dx, dy = args[0], float(args[1]), float(args[2])
        path = os.path.join(work, 'scene', 'plots.Shl')
        d = open(path, 'rb').read() if os.path.exists(path) else b''
        good = check(len(d) == 196, 'plots.Shl: header and one record (%d bytes)' % len(d))
        if len(d) == 196:
            number, = struct.unpack_from('<i', d, 100)
            sx, sy = struct.unpack_from('<2d', d, 148)
            good &= check(number == 2 and d[104:148].rstrip() == b'ID', 'the record of label "ID" of object 2')
            good &= check(abs(sx - dx) < 0.01 * abs(dx) and abs(sy - dy) < 0.01 * abs(dy) and d[189] == 1,
                          'shifted by (%.2f, %.2f) m (%.2f, %.2f)' % (dx, dy, sx, sy))
        sys.exit(0 if good else 1)
    elif cmd == 'view':
        work, scale, x, y, tol = args[0], float(args[1]), float(args[2]), float(args[3]), float(args[4])
        v = project(work)
        good = check(abs(v.get('Scale', 0) - scale) <= scale * 0.01,
                     'the scale 1:%.1f (expected 1:%.1f)' % (v.get('Scale', 0), scale))
        good &= check(abs(v.get('X', 0) - x) <= tol and abs(v.get('Y', 0) - y) <= tol,
                      'the centre (%.3f, %.3f) (expected (%.3f, %.3f))' % (v.get('X', 0), v.get('Y', 0), x, y))
        sys.exit(0 if good else 1)
    elif cmd == 'get':
        v = project(args[0])
        print('SCALE=%.6f CX=%.6f CY=%.6f' % (v['Scale'], v['X'], v['Y']))

main()
PYTHON
helper() { python3 "$HELPER" "$@"; }

# ---------------------------------------------------------------------------
# The project, the settings store of this run, the display, the program.
helper fixture "$WORK"
export XDG_CONFIG_HOME="$WORK/config"
"$BUILD/tools/setreg" --store "$XDG_CONFIG_HOME/tolvane/registry.reg" 'HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane 2' \
  LastOpenTvpFile "$WORK/scene.tvp"

n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$n"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$PROGRAM" && exec ./tolvane) >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tolvane' | head -1)
sleep 2

step=0
shot() {
  step=$((step + 1))
  xwd -root -silent >"$WORK/shot.xwd"
  if [ "${KEEP:-0}" = 1 ]; then helper png "$WORK/shot.xwd" "$WORK/shots/$step-$1.png"; fi
}
# Float arithmetic: calc 'expression'.
calc() { python3 -c "print($1)"; }
# The screen point of a map point: sx x, sy y.
sx() { calc "round($OX + ($1 - 1000) * $SX)"; }
sy() { calc "round($OY - ($1 - 5000) * $SY)"; }
pause() { sleep 0.5; }      # longer than a double click takes
click_at() { xdotool mousemove --sync "$1" "$2"; sleep 0.1; xdotool click 1; pause; }
tool() { click_at "$(echo "$BUTTONS" | cut -d' ' -f$(($1 + 1)))" "$BY"; xdotool mousemove --sync "$OX" "$OY"; pause; }
# drag x0 y0 x1 y1 [button] [key]: a press, four moves, a release.
drag() {
  local b=${5:-1} key=${6:-}
  xdotool mousemove --sync "$1" "$2"
  [ -n "$key" ] && xdotool keydown "$key"
  xdotool mousedown "$b"; sleep 0.1
  for k in 1 2 3 4; do
    xdotool mousemove --sync "$(calc "round($1 + ($3 - $1) * $k / 4)")" "$(calc "round($2 + ($4 - $2) * $k / 4)")"
    sleep 0.1
  done
  xdotool mouseup "$b"
  [ -n "$key" ] && xdotool keyup "$key"
  pause
}
save_project() { xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true; xdotool key ctrl+s; sleep 1; }

shot start
eval "$(helper calibrate "$WORK/shot.xwd")"
echo "map: $SX x $SY pixels per metre; control $WIDTH x $HEIGHT at ($LEFT, $TOP); tool buttons at y $BY: $BUTTONS"
failed=0
run_check() { helper "$@" || failed=1; }

# 1. The pick tool (5th button): a click on plot 1 highlights it (blue pen
# and fill in XOR mode: yellow on the white map); a rectangle in the notch of
# the L, inside the L's box but crossing none of its edges, selects nothing.
tool 4
click_at "$(sx 1020)" "$(sy 4966)"
shot picked
run_check highlight "$WORK/shot.xwd" yes
drag "$(sx 1005)" "$(sy 4985)" "$(sx 1065)" "$(sy 5005)"
shot rectangle
run_check highlight "$WORK/shot.xwd" no

# 2. Digitizing: the draw tool (7th button), four clicks and a double click;
# the 4th click 3 and 2 pixels off the contour's vertex E.
tool 6
c1x=$(sx 1005) c1y=$(sy 4980) c2x=$(sx 1060) c2y=$(sy 4980) c3x=$(sx 1060) c3y=$(sy 5005)
ex=$(calc "round($OX + 0.25 * $SX) + 3") ey=$(calc "round($OY - 10.5 * $SY) + 2")
c5x=$(sx 1002) c5y=$(sy 4995)
click_at "$c1x" "$c1y"; click_at "$c2x" "$c2y"; click_at "$c3x" "$c3y"; click_at "$ex" "$ey"
xdotool mousemove --sync "$c5x" "$c5y"; sleep 0.1; xdotool click --repeat 2 --delay 80 1; pause
shot digitized
run_check digitized "$WORK"

# 3. The pick tool: a drag of plot 1 by 20 pixels goes to the journal.
tool 4
journal_before=$(stat -c %s "$WORK/scene/updates.mhp" 2>/dev/null || echo 0)
px=$(sx 1020) py=$(sy 4966)
click_at "$px" "$py"
drag "$px" "$py" $((px + 20)) "$py"
journal_after=$(stat -c %s "$WORK/scene/updates.mhp" 2>/dev/null || echo 0)
shot dragged
if [ "$journal_after" -gt "$journal_before" ]; then echo "ok      the drag was journalled ($journal_before -> $journal_after bytes)"
else echo "FAILED  the drag was not journalled"; failed=1; fi

# 4. Ctrl-drag of the moved plot 20 pixels down copies it.
drag $((px + 20)) "$py" $((px + 20)) $((py + 20)) 1 ctrl
shot copied
run_check copied "$WORK" "$(calc "20 / $SX")" "$(calc "20 / $SY")"

# 5. The label tool (4th button) drags the label of plot 2 by (20, 10) pixels.
helper label "$WORK" "$(calc "$(sx 1055) - $LEFT")" "$(calc "$(sy 4960) - $TOP")" "$(calc "50 / $SX")" \
  "$(calc "50 / $SY")"
tool 3
lx=$(sx 1055) ly=$(sy 4960)
drag $((lx + 2)) $((ly + 1)) $((lx + 22)) $((ly + 11))
shot label
run_check shl "$WORK" "$(calc "20 / $SX")" "$(calc "-10 / $SY")"

# 6. The zoom tool (1st button) zooms into a rectangle of 40 x 20 m.
tool 0
zx0=$(sx 980) zy0=$(sy 5000) zx1=$(sx 1020) zy1=$(sy 4980)
drag "$zx0" "$zy0" "$zx1" "$zy1"
save_project
shot zoomed
factor=$(calc "min($HEIGHT / (1.1 * abs($zy1 - $zy0)), $WIDTH / (1.1 * abs($zx1 - $zx0)))")
run_check view "$WORK" "$(calc "2000 / $factor")" \
  "$(calc "1000 + ((($zx0 + $zx1) / 2) - $OX) / $SX")" "$(calc "5000 - ((($zy0 + $zy1) / 2) - $OY) / $SY")" \
  "$(calc "1 / min($SX, $SY)")"

# 7. A right drag of the pick tool pans the view by (40, -30) pixels.
eval "$(helper get "$WORK")"
tool 4
drag 300 500 340 470 3
save_project
shot panned
# Metres per pixel at the new scale.
mx=$(calc "$SCALE / 2000 / $SX") my=$(calc "$SCALE / 2000 / $SY")
run_check view "$WORK" "$SCALE" "$(calc "$CX - 40 * $mx")" "$(calc "$CY - 30 * $my")" "$(calc "0.5 * $mx")"

if [ "$failed" = 0 ]; then echo "all checks passed"; else echo "some checks FAILED"; fi
exit "$failed"
