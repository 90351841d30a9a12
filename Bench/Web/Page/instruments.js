// The cockpit's instruments, switches and handles, drawn in SVG. Each builder draws its part
// once and registers, for every named variable the part shows, a function that moves it; the
// page calls those only for the variables that changed.
'use strict';

const SVG = 'http://www.w3.org/2000/svg';

function el(parent, tag, attrs = {}, text) {
  const e = document.createElementNS(SVG, tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  parent.appendChild(e);
  return e;
}

// Degrees clockwise from twelve o'clock, as the dials are read.
function polar(r, deg) {
  const a = (deg * Math.PI) / 180;
  return [r * Math.sin(a), -r * Math.cos(a)];
}

function fixed(v) {
  return Number.isFinite(v) ? +v.toFixed(3) : 0;
}

function rotate(e, deg) {
  e.setAttribute('transform', `rotate(${fixed(deg)})`);
}

function shift(e, x, y) {
  e.setAttribute('transform', `translate(${fixed(x)} ${fixed(y)})`);
}

// Where one instrument sits: a group at its centre.
function mount(svg, x, y) {
  return el(svg, 'g', { transform: `translate(${x} ${y})` });
}

function bezel(g, r, title, unit) {
  el(g, 'circle', { r: r + 7, class: 'bezel' });
  el(g, 'circle', { r: r + 2, class: 'rim' });
  el(g, 'circle', { r, class: 'face' });
  for (const deg of [45, 135, 225, 315]) {
    const [x, y] = polar(r + 4.5, deg);
    el(g, 'circle', { cx: fixed(x), cy: fixed(y), r: 2, class: 'screw' });
  }
  if (title) el(g, 'text', { y: r * 0.3, class: 'dial-title' }, title);
  if (unit) el(g, 'text', { y: r * 0.46, class: 'dial-unit' }, unit);
}

// Ticks from `from` to `to` every `step`, longer every `major`, labelled every `label`.
function scale(g, r, s) {
  for (let v = s.from; v <= s.to + 1e-9; v += s.step) {
    const major = Math.abs(v / s.major - Math.round(v / s.major)) < 1e-6;
    const [x1, y1] = polar(r - (major ? 11 : 6), s.angle(v));
    const [x2, y2] = polar(r - 1, s.angle(v));
    el(g, 'line', { x1: fixed(x1), y1: fixed(y1), x2: fixed(x2), y2: fixed(y2),
                    class: major ? 'tick major' : 'tick' });
  }
  for (let v = s.from; v <= s.to + 1e-9; v += s.label) {
    const [x, y] = polar(r - 21, s.angle(v));
    el(g, 'text', { x: fixed(x), y: fixed(y) + 4, class: 'dial-label' },
       s.text ? s.text(v) : String(Math.round(v)));
  }
}

function needle(g, id, length, cls = 'needle', tail = 12) {
  const n = el(g, 'g', { id, transform: 'rotate(0)' });
  el(n, 'path', { d: `M -2.2 ${tail} L -1.4 ${-length + 8} L 0 ${-length} L 1.4 ${-length + 8} L 2.2 ${tail} Z`,
                  class: cls });
  return n;
}

function hub(g) {
  el(g, 'circle', { r: 5, class: 'hub' });
}

// A knob on the bezel: a click on its left half sends `down`, on its right half `up`; a wheel
// turn sends one or the other.
function knob(g, x, y, r, id, down, up, send) {
  const k = el(g, 'g', { transform: `translate(${x} ${y})`, class: 'hot knob' });
  const body = el(k, 'g', { id, transform: 'rotate(0)' });
  el(body, 'circle', { r, class: 'knob-body' });
  for (let i = 0; i < 12; ++i) {
    const [x1, y1] = polar(r - 3, i * 30);
    const [x2, y2] = polar(r, i * 30);
    el(body, 'line', { x1: fixed(x1), y1: fixed(y1), x2: fixed(x2), y2: fixed(y2), class: 'knurl' });
  }
  el(body, 'line', { x1: 0, y1: 0, x2: 0, y2: -r + 2, class: 'knob-mark' });
  k.addEventListener('click', (ev) => {
    const box = k.getBoundingClientRect();
    send(ev.clientX < box.left + box.width / 2 ? down : up);
  });
  k.addEventListener('wheel', (ev) => {
    ev.preventDefault();
    send(ev.deltaY < 0 ? up : down);
  }, { passive: false });
  return body;
}

// ---- flight instruments ---------------------------------------------------------------------

// A needle stops at the ends of its dial, as in the cockpit model, however far its variable goes.
function stop(v, low, high) {
  return Math.min(Math.max(v, low), high);
}

const Scales = {
  // Airspeed: the needle's 0 to 100 is 0 to 400 km/h; the dial reads 0 to 250 over 270 degrees.
  airspeed: (v) => -135 + stop(v, 0, 62.5) * 4 * (270 / 250),
  // Variometer: 0 to 120 is -30 to +30 m/s, zero at nine o'clock, 150 degrees each way.
  vario: (v) => -90 + ((stop(v, 0, 120) - 60) / 60) * 150,
  // Precision variometer: 0 to 100 is -5 to +5 m/s, laid out as the variometer.
  precision: (v) => -90 + ((stop(v, 0, 100) - 50) / 50) * 150,
  // Altimeter: the metre needle turns once a kilometre, the kilometre needle once per 10 km.
  altitude: (v) => v * 360,
  // Attitude: the bank indicator is 0.5 - bank/360, the pitch scale 0.5 + pitch/180. The sphere
  // turns all the way round; its pitch and the horizon line stop at their ends.
  horizonRoll: (v) => (v - 0.5) * 360,
  horizonShift: (v) => (stop(v, 0, 1) - 0.5) * 180 * 1.6,
  referenceLine: (v) => (0.5 - stop(v, 0, 1)) * 40,
  agdTurn: (v) => (stop(v, 0, 1) - 0.5) * 80,
  // Turn-and-slip: the needle's 0 to 1 spans 45 degrees each way; the ball 36 px each way.
  turn: (v) => (stop(v, 0, 1) - 0.5) * 90,
  ball: (v) => (stop(v, 0, 1) - 0.5) * 72,
  // Yaw string: 0 to 1 swings 30 degrees each way.
  yawString: (v) => (stop(v, 0, 1) - 0.5) * 60,
  // Compass: the card turns with the heading and tilts with the aircraft.
  heading: (v) => -v * 360,
  compassBank: (v) => (stop(v, 0, 1) - 0.5) * 20,
  compassPitch: (v) => (stop(v, 0, 1) - 0.5) * 12,
  // Handles, brake and windows travel from 0 to 1.
  travel: (v) => stop(v, 0, 1),
};

function airspeed(svg, x, y, suffix, watch) {
  const g = mount(svg, x, y);
  bezel(g, 62, 'km/h');
  scale(g, 62, { from: 0, to: 250, step: 10, major: 50, label: 50,
                 angle: (kmh) => -135 + kmh * (270 / 250) });
  const n = needle(g, `asi${suffix}-needle`, 55);
  hub(g);
  watch(`zelvan_speed_needle${suffix}`, (v) => rotate(n, Scales.airspeed(v)));
}

function variometer(svg, x, y, suffix, watch, precise) {
  const g = mount(svg, x, y);
  const range = precise ? 5 : 30;
  bezel(g, 62, precise ? 'VARIO ±5' : 'VARIO', 'm/s');
  scale(g, 62, { from: -range, to: range, step: precise ? 0.5 : 2, major: precise ? 1 : 10,
                 label: precise ? 1 : 10, angle: (ms) => -90 + (ms / range) * 150,
                 text: (ms) => String(Math.abs(Math.round(ms))) });
  el(g, 'text', { x: 20, y: -20, class: 'dial-sign' }, '+');
  el(g, 'text', { x: 20, y: 28, class: 'dial-sign' }, '−');
  const name = precise ? `zelvan_prec_climb_needle${suffix}` : `zelvan_climb_needle${suffix}`;
  const n = needle(g, `${precise ? 'pvario' : 'vario'}${suffix}-needle`, 55);
  hub(g);
  watch(name, (v) => rotate(n, precise ? Scales.precision(v) : Scales.vario(v)));
}

function altimeter(svg, x, y, suffix, watch, send) {
  const g = mount(svg, x, y);
  bezel(g, 62, 'ALT', '×100 m');
  scale(g, 62, { from: 0, to: 9.9, step: 0.2, major: 1, label: 1, angle: (h) => h * 36 });
  const window = el(g, 'g', { transform: 'translate(14 -8)' });
  el(window, 'rect', { x: -2, y: -9, width: 34, height: 15, class: 'window' });
  const press = el(window, 'text', { id: `alt${suffix}-pressure`, x: 15, y: 3, class: 'window-text' }, '----');
  const kilo = needle(g, `alt${suffix}-kilo`, 34, 'needle short', 8);
  const metre = needle(g, `alt${suffix}-metre`, 56);
  hub(g);
  const ids = suffix ? [0x11063, 0x11062] : [0x1104c, 0x1104d];
  const rotary = knob(g, -50, 52, 11, `alt${suffix}-knob`, ids[0], ids[1], send);
  watch(`zelvan_alt_meter_needle${suffix}`, (v) => rotate(metre, Scales.altitude(v)));
  watch(`zelvan_alt_kilo_needle${suffix}`, (v) => rotate(kilo, Scales.altitude(v)));
  watch(`zelvan_alt_press_scale${suffix}`, (v) => {
    press.textContent = Number.isFinite(v) ? String(Math.round(960 + 110 * v)) : '----';
  });
  watch(`zelvan_alt_rotary${suffix}`, (v) => rotate(rotary, v * 360));
}

function attitude(svg, x, y, n, watch, send) {
  const suffix = n === 1 ? '' : '_2';
  const g = mount(svg, x, y);
  el(g, 'circle', { r: 69, class: 'bezel' });
  const clipId = `agd${n}-clip`;
  el(el(g, 'clipPath', { id: clipId }), 'circle', { r: 58 });
  const inside = el(g, 'g', { 'clip-path': `url(#${clipId})` });
  const roll = el(inside, 'g', { id: `agd${n}-roll`, transform: 'rotate(0)' });
  const pitch = el(roll, 'g', { id: `agd${n}-pitch`, transform: 'translate(0 0)' });
  el(pitch, 'rect', { x: -160, y: -320, width: 320, height: 320, class: 'sky' });
  el(pitch, 'rect', { x: -160, y: 0, width: 320, height: 320, class: 'ground' });
  el(pitch, 'line', { x1: -160, y1: 0, x2: 160, y2: 0, id: `agd${n}-horizon`, class: 'horizon' });
  for (const deg of [-20, -10, 10, 20]) {
    const py = -deg * 1.6;
    el(pitch, 'line', { x1: deg % 20 ? -8 : -15, y1: py, x2: deg % 20 ? 8 : 15, y2: py, class: 'pitch-mark' });
  }
  for (const deg of [-60, -45, -30, -20, -10, 0, 10, 20, 30, 45, 60]) {
    const [x1, y1] = polar(58, deg);
    const [x2, y2] = polar(deg % 30 === 0 ? 47 : 52, deg);
    el(roll, 'line', { x1: fixed(x1), y1: fixed(y1), x2: fixed(x2), y2: fixed(y2), class: 'roll-mark' });
  }
  // The miniature aircraft, which the horizon-line knob moves up and down.
  const reference = el(inside, 'g', { id: `agd${n}-reference`, transform: 'translate(0 0)' });
  el(reference, 'path', { d: 'M -34 0 L -12 0 L -6 6 L 0 0 L 6 6 L 12 0 L 34 0', class: 'reference' });
  el(reference, 'circle', { r: 2.2, class: 'reference-dot' });
  el(g, 'path', { d: 'M 0 -58 L -5 -49 L 5 -49 Z', class: 'roll-pointer' });
  // The built-in turn needle, at the foot of the dial.
  const turnFace = el(g, 'g', { transform: 'translate(0 50)' });
  el(turnFace, 'rect', { x: -22, y: -7, width: 44, height: 11, rx: 3, class: 'window' });
  const turn = el(turnFace, 'g', { id: `agd${n}-turn`, transform: 'rotate(0)' });
  el(turn, 'line', { x1: 0, y1: 2, x2: 0, y2: -6, class: 'turn-needle' });
  const caged = el(g, 'text', { id: `agd${n}-caged`, y: -30, class: 'flag' }, 'CAGED');
  // The caging knob: pulled out while caged. A click pulls or pushes it.
  const cage = el(g, 'g', { transform: 'translate(52 52)', class: 'hot' });
  const cageKnob = el(cage, 'g', { id: `agd${n}-cage`, transform: 'translate(0 0)' });
  el(cageKnob, 'rect', { x: -4, y: -4, width: 14, height: 8, class: 'cage-shaft' });
  el(cageKnob, 'circle', { cx: 10, r: 9, class: 'knob-body' });
  el(cageKnob, 'text', { x: 10, y: 3, class: 'knob-label' }, 'C');
  cage.addEventListener('click', () => send(n === 1 ? 0x1101d : 0x1111d));
  const line = knob(g, -54, 52, 10, `agd${n}-line-knob`, n === 1 ? 0x1102c : 0x1112c,
                    n === 1 ? 0x1102b : 0x1112b, send);
  el(g, 'text', { y: 84, class: 'dial-caption' }, `AGD ${n}`);
  watch(`ovi_bank_indicator${suffix}`, (v) => rotate(roll, Scales.horizonRoll(v)));
  watch(`ovi_pitch_scale${suffix}`, (v) => shift(pitch, 0, Scales.horizonShift(v)));
  watch(`ovi_agd_h_line${suffix}`, (v) => {
    shift(reference, 0, Scales.referenceLine(v));
    rotate(line, v * 360);
  });
  watch(`att_turn_needle_${n}`, (v) => rotate(turn, Scales.agdTurn(v)));
  watch(`ovi_arrester_switch${suffix}`, (v) => {
    const released = Math.trunc(v) !== 0;
    shift(cageKnob, released ? 0 : 10, 0);
    caged.setAttribute('visibility', released ? 'hidden' : 'visible');
  });
}

function turnAndSlip(svg, x, y, n, watch) {
  const g = mount(svg, x, y);
  bezel(g, 62, 'TURN');
  for (const deg of [-45, -22.5, 0, 22.5, 45]) {
    const [x1, y1] = polar(60, deg);
    const [x2, y2] = polar(deg === 0 ? 46 : 50, deg);
    el(g, 'line', { x1: fixed(x1), y1: fixed(y1), x2: fixed(x2), y2: fixed(y2), class: 'tick major' });
  }
  el(g, 'text', { x: -44, y: -18, class: 'dial-label' }, 'L');
  el(g, 'text', { x: 44, y: -18, class: 'dial-label' }, 'R');
  const n1 = needle(g, `turn${n}-needle`, 54, 'needle', 6);
  hub(g);
  const tube = el(g, 'g', { transform: 'translate(0 38)' });
  el(tube, 'rect', { x: -42, y: -8, width: 84, height: 16, rx: 8, class: 'tube' });
  el(tube, 'line', { x1: -9, y1: -8, x2: -9, y2: 8, class: 'tube-mark' });
  el(tube, 'line', { x1: 9, y1: -8, x2: 9, y2: 8, class: 'tube-mark' });
  const ball = el(tube, 'g', { id: `turn${n}-ball`, transform: 'translate(0 0)' });
  el(ball, 'circle', { r: 6.5, class: 'ball' });
  watch(n === 1 ? 'ovi_turnkey_needle' : 'zelvan_turnkey_needle_2', (v) => rotate(n1, Scales.turn(v)));
  watch('ovi_inclin_ball', (v) => shift(ball, Scales.ball(v), 0));
}

function compass(svg, x, y, watch) {
  const g = mount(svg, x, y);
  el(g, 'rect', { x: -74, y: -30, width: 148, height: 60, rx: 10, class: 'bezel' });
  el(el(g, 'clipPath', { id: 'compass-clip' }), 'rect', { x: -66, y: -23, width: 132, height: 46, rx: 6 });
  const inside = el(g, 'g', { 'clip-path': 'url(#compass-clip)' });
  el(inside, 'rect', { x: -66, y: -23, width: 132, height: 46, class: 'face' });
  const tilt = el(inside, 'g', { id: 'compass-tilt', transform: 'translate(0 0) rotate(0)' });
  // The card seen edge-on: a drum of 360 degrees, 1.4 px a degree, drawn twice to wrap.
  const card = el(tilt, 'g', { id: 'compass-card', transform: 'translate(0 0)' });
  const names = { 0: 'N', 90: 'E', 180: 'S', 270: 'W' };
  for (let lap = -1; lap <= 1; ++lap) {
    for (let d = 0; d < 360; d += 5) {
      const px = (d + lap * 360) * 1.4;
      el(card, 'line', { x1: px, y1: -22, x2: px, y2: d % 30 ? -16 : -10, class: 'card-tick' });
      if (d % 30 === 0) {
        el(card, 'text', { x: px, y: 8, class: names[d] ? 'card-cardinal' : 'card-label' },
           names[d] || String(d / 10));
      }
    }
  }
  el(g, 'line', { x1: 0, y1: -26, x2: 0, y2: 26, class: 'lubber' });
  el(g, 'text', { y: 44, class: 'dial-caption' }, 'COMPASS');
  let heading = 0;
  let bank = 0.5;
  let pitch = 0.5;
  const tiltNow = () => tilt.setAttribute('transform',
    `translate(0 ${fixed(Scales.compassPitch(pitch))}) rotate(${fixed(Scales.compassBank(bank))})`);
  watch('ovi_magnetic_scale', (v) => {
    heading = ((v % 1) + 1) % 1;
    card.setAttribute('transform', `translate(${fixed(-heading * 360 * 1.4)} 0)`);
    card.setAttribute('data-heading', fixed(heading * 360));
  });
  watch('zelvan_compass_bank', (v) => { bank = v; tiltNow(); });
  watch('zelvan_compass_pitch', (v) => { pitch = v; tiltNow(); });
}

function yawString(svg, x, y, watch) {
  const g = mount(svg, x, y);
  el(g, 'circle', { r: 3, class: 'string-pin' });
  const s = el(g, 'g', { id: 'yaw-string', transform: 'rotate(0)' });
  const path = el(s, 'path', { d: 'M 0 0 Q 0 -30 0 -60', class: 'string' });
  el(g, 'text', { y: 16, class: 'dial-caption' }, 'YAW STRING');
  watch('air_cord_angle', (v) => rotate(s, Scales.yawString(v)));
  watch('air_cord', (v) => {
    const bend = Math.sin(v * 2 * Math.PI) * 5;
    path.setAttribute('d', `M 0 0 Q ${fixed(bend)} -30 ${fixed(-bend / 2)} -60`);
  });
}

// ---- switches, radio ------------------------------------------------------------------------

// A toggle switch: the lever points up when the named variable is on.
function toggle(svg, x, y, label, id, name, key, watch, send) {
  const g = mount(svg, x, y);
  g.classList.add('hot');
  el(g, 'rect', { x: -17, y: -24, width: 34, height: 48, rx: 4, class: 'plate' });
  el(g, 'circle', { r: 8, class: 'switch-nut' });
  const lever = el(g, 'g', { id, transform: 'rotate(180)' });
  el(lever, 'path', { d: 'M -3 0 L -2.2 -19 L 2.2 -19 L 3 0 Z', class: 'lever' });
  el(lever, 'circle', { cy: -19, r: 3.5, class: 'lever-tip' });
  el(g, 'text', { y: 38, class: 'switch-label' }, label);
  el(g, 'text', { y: -28, class: 'switch-on' }, 'ON');
  g.addEventListener('click', () => send(key));
  watch(name, (v) => {
    const on = Math.trunc(v) !== 0;
    rotate(lever, on ? 0 : 180);
    lever.setAttribute('data-on', on ? '1' : '0');
  });
}

// The attitude indicator's power: an on-switch and an off push-button.
function agdPower(svg, x, y, n, watch, send) {
  toggle(svg, x, y, `AGD ${n}`, `sw-agd${n}`, `zelvan_agd${n}_switch_on`, n === 1 ? 70000 : 70001,
         watch, send);
  const g = mount(svg, x + 44, y);
  g.classList.add('hot');
  el(g, 'rect', { x: -13, y: -13, width: 26, height: 26, rx: 3, class: 'plate' });
  const button = el(g, 'g', { id: `agd${n}-off`, transform: 'translate(0 0)' });
  el(button, 'circle', { r: 8, class: 'push-button' });
  el(g, 'text', { y: 38, class: 'switch-label' }, 'OFF');
  g.addEventListener('click', () => send(n === 1 ? 70002 : 70003));
  // 0.5 while the button is shown pressed.
  watch(`zelvan_agd${n}_switch_off`, (v) => shift(button, 0, v * 6));
}

const RadioSteps = ['00', '25', '50', '75'];

function radio(svg, x, y, watch, send) {
  const g = mount(svg, x, y);
  el(g, 'rect', { x: 0, y: -40, width: 220, height: 84, rx: 6, class: 'radio' });
  el(g, 'text', { x: 110, y: -27, class: 'radio-title' }, 'COM');
  el(g, 'rect', { x: 38, y: -20, width: 144, height: 30, rx: 3, class: 'lcd' });
  const display = el(g, 'text', { id: 'radio-frequency', x: 110, y: 3, class: 'lcd-text off' }, '---.---');
  const outer = knob(g, 30, 28, 11, 'radio-outer', 0x11058, 0x11059, send);
  const inner = knob(g, 62, 28, 8, 'radio-inner', 0x11060, 0x11061, send);
  el(g, 'text', { x: 46, y: 51, class: 'knob-caption' }, 'MHz  kHz');
  const volume = knob(g, 190, 28, 11, 'radio-volume', 0x11064, 0x11065, send);
  el(g, 'text', { x: 190, y: 51, class: 'knob-caption' }, 'OFF·VOL');
  const parts = { main: NaN, r01: NaN, r001: NaN };
  const show = () => {
    const ok = [parts.main, parts.r01, parts.r001].every(Number.isFinite);
    display.textContent = ok
      ? `${118 + Math.round(parts.main)}.${Math.round(parts.r01)}${RadioSteps[Math.round(parts.r001) / 2] || '??'}`
      : '---.---';
  };
  watch('zelvan_radio_main', (v) => { parts.main = v; rotate(outer, v * 20); show(); });
  watch('zelvan_radio_01', (v) => { parts.r01 = v; show(); });
  watch('zelvan_radio_001', (v) => { parts.r001 = v; rotate(inner, v * 15); show(); });
  watch('zelvan_radio_volume', (v) => rotate(volume, -135 + (v / 0.95) * 270));
  // The display is dark while the radio has no power.
  return {
    light(on) {
      const state = on ? '1' : '0';
      if (display.dataset.lit === state) return;
      display.dataset.lit = state;
      display.setAttribute('class', on ? 'lcd-text' : 'lcd-text off');
    },
  };
}

// ---- cabin: handles, brake, pedals, windows -------------------------------------------------

// A handle in its slot: 0 at the top (retracted), 1 at the bottom. Holding the mouse on the slot
// above or below the grip drags it that way, one drag event every 40 ms; a wheel turn is one.
function handle(svg, x, y, label, id, name, positionName, towards0, towards1, watch, send) {
  const length = 150;
  const g = mount(svg, x, y);
  el(g, 'text', { y: -18, class: 'switch-label' }, label);
  const slot = el(g, 'rect', { x: -7, y: -4, width: 14, height: length + 8, rx: 7, class: 'slot hot',
                               id: `${id}-slot` });
  const travel = el(g, 'rect', { x: -2, y: 0, width: 4, height: 0, class: 'travel', id: `${id}-travel` });
  const grip = el(g, 'g', { id, transform: 'translate(0 0)', class: 'hot' });
  el(grip, 'rect', { x: -16, y: -7, width: 32, height: 14, rx: 5, class: 'grip' });
  let position = 0;
  let timer = null;
  const stop = () => { if (timer) { clearInterval(timer); timer = null; } };
  const start = (ev) => {
    ev.preventDefault();
    stop();
    const box = slot.getBoundingClientRect();
    const at = (ev.clientY - box.top) / box.height;
    const key = at < position ? towards0 : towards1;
    send(key);
    timer = setInterval(() => send(key), 40);
  };
  slot.addEventListener('mousedown', start);
  grip.addEventListener('mousedown', start);
  window.addEventListener('mouseup', stop);
  slot.addEventListener('mouseleave', stop);
  g.addEventListener('wheel', (ev) => {
    ev.preventDefault();
    send(ev.deltaY < 0 ? towards0 : towards1);
  }, { passive: false });
  watch(name, (v) => { position = Scales.travel(v); shift(grip, 0, position * length); });
  if (positionName) {
    watch(positionName, (v) => travel.setAttribute('height', fixed(Scales.travel(v) * length)));
  }
}

function brake(svg, x, y, watch, send) {
  const g = mount(svg, x, y);
  g.classList.add('hot');
  el(g, 'text', { y: -18, class: 'switch-label' }, 'BRAKE');
  el(g, 'circle', { cy: 120, r: 6, class: 'switch-nut' });
  const lever = el(g, 'g', { id: 'brake-lever', transform: 'rotate(0)' });
  el(lever, 'rect', { x: -3, y: 0, width: 6, height: 120, class: 'lever', transform: 'translate(0 0)' });
  el(lever, 'rect', { x: -10, y: -6, width: 20, height: 12, rx: 4, class: 'grip brake-grip' });
  g.addEventListener('click', () => send(0x11067));
  // The lever pivots at its foot and comes back 40 degrees at full brake.
  watch('zelvan_brake', (v) =>
    lever.setAttribute('transform', `rotate(${fixed(-Scales.travel(v) * 40)} 0 120)`));
}

function pedals(svg, x, y, watch, send) {
  const g = mount(svg, x, y);
  el(g, 'text', { y: -18, class: 'switch-label' }, 'PEDALS');
  // A painted scale behind a window, not a display: it needs no power.
  el(g, 'rect', { x: -26, y: -8, width: 52, height: 22, rx: 3, class: 'window' });
  const text = el(g, 'text', { id: 'pedals-setting', y: 8, class: 'window-text' }, '-');
  for (const [dx, sign, key] of [[-18, '−', 0x1104e], [18, '+', 0x1104f]]) {
    const b = el(g, 'g', { transform: `translate(${dx} 34)`, class: 'hot' });
    el(b, 'circle', { r: 10, class: 'knob-body' });
    el(b, 'text', { y: 4, class: 'knob-label' }, sign);
    b.addEventListener('click', () => send(key));
  }
  watch('zelvan_pedals_setting', (v) => { text.textContent = Number.isFinite(v) ? v.toFixed(1) : '-'; });
}

// The canopy's windows: the front sliding window opens in tenths or all at once, the two side
// windows open or close with a click.
function windows(svg, x, y, watch, send) {
  const g = mount(svg, x, y);
  el(g, 'text', { x: 60, y: -18, class: 'switch-label' }, 'CANOPY WINDOWS');
  const panes = [
    { id: 'window-front', name: 'zelvan_slidwin_front', key: 0x11054, label: 'front', y: 0 },
    { id: 'window-one', name: 'zelvan_slidwin_one', key: 0x11052, label: 'one', y: 56 },
    { id: 'window-two', name: 'zelvan_slidwin_two', key: 0x11050, label: 'two', y: 112 },
  ];
  for (const p of panes) {
    const frame = el(g, 'g', { transform: `translate(0 ${p.y})`, class: 'hot' });
    el(frame, 'rect', { x: 0, y: 0, width: 120, height: 36, class: 'window-frame' });
    const pane = el(frame, 'g', { id: p.id, transform: 'translate(0 0)' });
    el(pane, 'rect', { x: 2, y: 2, width: 58, height: 32, class: 'pane' });
    el(frame, 'text', { x: 60, y: 50, class: 'knob-caption' }, p.label);
    frame.addEventListener('click', () => send(p.key));
    watch(p.name, (v) => shift(pane, Scales.travel(v) * 58, 0));
  }
  for (const [dx, sign, key] of [[140, '−', 0x11056], [168, '+', 0x11055]]) {
    const b = el(g, 'g', { transform: `translate(${dx} 18)`, class: 'hot' });
    el(b, 'circle', { r: 10, class: 'knob-body' });
    el(b, 'text', { y: 4, class: 'knob-label' }, sign);
    b.addEventListener('click', () => send(key));
  }
}
