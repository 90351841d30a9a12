// The cockpit page: lays out both instrument panels, the cabin and the service panel, follows
// the flight's live state and sends the pilot's clicks back as the simulator would.
'use strict';

const cockpit = {
  lvars: {},      // every named variable as last received
  panel: [],      // the service panel's elements: value, hidden, text
  panelVersion: 0,
  frames: 0,      // frames received
  t: NaN,         // the flight's time, seconds
  host: {},       // the host values as last received, by their raw names
  watchers: new Map(),
  lights: [],     // functions that light or darken a display by what has power
};
window.cockpit = cockpit;

function watch(name, fn) {
  if (!cockpit.watchers.has(name)) cockpit.watchers.set(name, []);
  cockpit.watchers.get(name).push(fn);
}

function post(path, params) {
  return fetch(`${path}?${new URLSearchParams(params)}`, { method: 'POST' }).then((r) => {
    if (!r.ok) r.text().then((t) => note(`${path}: ${r.status} ${t.trim()}`));
  }).catch(() => note('the bench does not answer'));
}

function sendKey(id, value = 0) {
  return post('/api/key', { id: `0x${id.toString(16)}`, value });
}

function note(text) {
  const list = document.getElementById('diagnostics');
  const item = document.createElement('li');
  item.textContent = text;
  list.prepend(item);
  while (list.children.length > 8) list.lastChild.remove();
}

// ---- layout -----------------------------------------------------------------------------------

function instrumentPanel(svg, n) {
  const suffix = n === 1 ? '' : '_2';
  el(svg, 'rect', { x: 0, y: 0, width: 600, height: 560, rx: 18, class: 'panel' });
  el(svg, 'text', { x: 300, y: 132, class: 'panel-title' }, n === 1 ? 'FRONT COCKPIT' : 'REAR COCKPIT');
  if (n === 1) {
    compass(svg, 300, 56, watch);
    yawString(svg, 92, 100, watch);
  }
  airspeed(svg, 100, 210, suffix, watch);
  attitude(svg, 300, 210, n, watch, sendKey);
  altimeter(svg, 500, 210, suffix, watch, sendKey);
  variometer(svg, 100, 370, suffix, watch, false);
  turnAndSlip(svg, 300, 370, n, watch);
  variometer(svg, 500, 370, suffix, watch, true);
  if (n === 1) {
    toggle(svg, 44, 500, 'BAT 1', 'sw-battery1', 'zelvan_battery1_switch', 0x11005, watch, sendKey);
    toggle(svg, 100, 500, 'MASTER', 'sw-master', 'zelvan_master_battery_switch', 0x1100f, watch, sendKey);
    agdPower(svg, 156, 500, 1, watch, sendKey);
    const com = radio(svg, 300, 498, watch, sendKey);
    cockpit.lights.push((p) => com.light(p.radio));
  } else {
    toggle(svg, 44, 500, 'BAT 2', 'sw-battery2', 'zelvan_battery2_switch', 0x11069, watch, sendKey);
    agdPower(svg, 100, 500, 2, watch, sendKey);
  }
}

function cabin(svg) {
  el(svg, 'rect', { x: 0, y: 0, width: 600, height: 300, rx: 18, class: 'panel console' });
  handle(svg, 50, 70, 'SPOILERS', 'handle-spoilers', 'zelvan_spoilers_grip', 'zelvan_spoilers',
         0x1106b, 0x1106a, watch, sendKey);
  handle(svg, 120, 70, 'FLAPS', 'handle-flaps', 'zelvan_flaps_grip', 'zelvan_flaps', 0x11167,
         0x11166, watch, sendKey);
  handle(svg, 190, 70, 'GEAR', 'handle-gear', 'zelvan_gear_grip', 'zelvan_gear', 0x11168,
         0x11169, watch, sendKey);
  brake(svg, 265, 70, watch, sendKey);
  pedals(svg, 340, 70, watch, sendKey);
  windows(svg, 405, 70, watch, sendKey);
}

function servicePanel() {
  const img = document.getElementById('service-panel');
  img.addEventListener('load', () => panelLoaded(true));
  img.addEventListener('error', () => panelLoaded(false));
  const at = (ev) => {
    const box = img.getBoundingClientRect();
    return {
      x: Math.floor(((ev.clientX - box.left) * 850) / box.width),
      y: Math.floor(((ev.clientY - box.top) * 432) / box.height),
    };
  };
  img.addEventListener('click', (ev) => post('/api/mouse', { ...at(ev), button: 'click' }));
  img.addEventListener('wheel', (ev) => {
    ev.preventDefault();
    post('/api/mouse', { ...at(ev), button: ev.deltaY < 0 ? 'wheel-up' : 'wheel-down' });
  }, { passive: false });
}

// The panel's picture, one at a time: a newer version waits for the one on its way, so that a
// panel which changes at every frame (a draining battery's bar) is still shown, as often as the
// pictures come. `data-version` is the version shown.
const picture = { loading: null };

function loadPanel() {
  const img = document.getElementById('service-panel');
  if (picture.loading !== null || String(cockpit.panelVersion) === img.dataset.version) return;
  picture.loading = cockpit.panelVersion;
  img.src = `/panel.png?v=${picture.loading}`;
}

function panelLoaded(ok) {
  if (picture.loading === null) return; // the page's first picture, version 0
  const img = document.getElementById('service-panel');
  if (ok) img.dataset.version = String(picture.loading);
  picture.loading = null;
  if (ok) loadPanel();
  else setTimeout(loadPanel, 250);
}

function hostControls() {
  document.getElementById('pause').addEventListener('click', () =>
    post('/api/host', { event: 'Pause', data: document.body.dataset.paused === '1' ? 0 : 1 }));
  document.getElementById('sound').addEventListener('click', () =>
    post('/api/host', { event: 'Sound', data: document.body.dataset.sound === '1' ? 0 : 1 }));
  document.getElementById('simstart').addEventListener('click', () =>
    post('/api/host', { event: 'SimStart' }));
}

// ---- live state -------------------------------------------------------------------------------

function number(v, digits) {
  return Number.isFinite(v) ? v.toFixed(digits) : '–';
}

function value(v) {
  return v === null || v === undefined ? NaN : v;
}

// ---- what has power ----------------------------------------------------------------------------
// As the cockpit shows it: the switches' named variables and the service panel's charge bars
// (elements 16, 18 and 20, at the charge fraction times 51: an empty bar is a flat battery). A
// battery feeds its consumers while it is switched on and not flat; the master switch connects
// the radio battery, which feeds the radio and both attitude indicators.
const ChargeBars = [['battery 1', 15], ['battery 2', 17], ['radio battery', 19]];
const BarTravel = 51;

function charges() {
  const out = {};
  for (const [name, index] of ChargeBars) {
    const e = cockpit.panel[index];
    out[name] = e && Number.isFinite(e.value) ? e.value / BarTravel : 0;
  }
  return out;
}

function switchedOn(name) {
  return Math.trunc(value(cockpit.lvars[name]) || 0) !== 0;
}

function power() {
  const c = charges();
  const radioBattery = switchedOn('zelvan_master_battery_switch') && c['radio battery'] > 0;
  return {
    'turn 1': switchedOn('zelvan_battery1_switch') && c['battery 1'] > 0,
    'turn 2': switchedOn('zelvan_battery2_switch') && c['battery 2'] > 0,
    'AGD 1': radioBattery && switchedOn('zelvan_agd1_switch_on'),
    'AGD 2': radioBattery && switchedOn('zelvan_agd2_switch_on'),
    // The radio runs while its battery feeds it and the volume knob is past its switch.
    radio: radioBattery && (value(cockpit.lvars.zelvan_radio_volume) || 0) > 0.05,
  };
}

// ---- the header: what a pilot reads ----------------------------------------------------------

const Pilot = {
  clock: 'token:604',                     // the host's clock, seconds
  ground: 'token:60',                     // on the ground from a half up, as the module reads it
  altitude: 'avar:INDICATED ALTITUDE:m',
  speed: 'avar:AIRSPEED INDICATED:kph',
};
// The service panel's failure slider (element 13, 0 to 125) and lamp (element 14), and the
// slider's levels as the module sets them.
const FailureSlider = 12;
const FailureLamp = 13;
const FailureLevels = [[0, 'off'], [40, 'low'], [80, 'medium'], [Infinity, 'high']];

function clockText(seconds) {
  if (!Number.isFinite(seconds)) return '–:––:––';
  const s = Math.floor(seconds);
  const two = (n) => String(n).padStart(2, '0');
  return `${Math.floor(s / 3600)}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}`;
}

function failureLevel() {
  const slider = cockpit.panel[FailureSlider];
  if (!slider || !Number.isFinite(slider.value)) return '–';
  const s = Math.trunc(slider.value);
  return FailureLevels.find(([most]) => s <= most)[1];
}

function text(id, content) {
  const e = document.getElementById(id);
  if (e.textContent !== content) e.textContent = content;
}

function header(frame) {
  const host = (name) => value(cockpit.host[name]);
  text('clock', clockText(host(Pilot.clock)));
  const ground = host(Pilot.ground);
  const state = !Number.isFinite(ground) ? '–' : ground >= 0.5 ? 'ON GROUND' : 'FLYING';
  text('ground', state);
  document.getElementById('ground').dataset.state = state === 'FLYING' ? 'flying' : 'ground';
  text('altitude', `ALT ${number(host(Pilot.altitude), 0)} m`);
  text('speed', `IAS ${number(host(Pilot.speed), 0)} km/h`);
  document.getElementById('paused').hidden = !frame.paused;
  text('failures', `failures ${failureLevel()}`);
  const lamp = cockpit.panel[FailureLamp];
  document.getElementById('failure-lamp').hidden = !lamp || lamp.hidden;
}

// The details a maintainer reads: the flight's time, every host value by its raw name, the
// batteries' charges and what has power (`p`, as the lamps were given it). The list is built
// again only when its names change; otherwise each value is updated in place.
function details(p) {
  const box = document.getElementById('details');
  if (!box.open) return;
  const rows = [['flight time', `${number(cockpit.t, 2)} s`], ['frames', String(cockpit.frames)]];
  for (const [name, v] of Object.entries(cockpit.host)) rows.push([name, number(value(v), 2)]);
  const slider = cockpit.panel[FailureSlider];
  rows.push(['failure slider', slider ? number(slider.value, 0) : '–']);
  for (const [name, fraction] of Object.entries(charges())) {
    rows.push([name, `${number(fraction * 100, 0)} %`]);
  }
  rows.push(['powered', Object.keys(p).filter((k) => p[k]).join(', ') || 'nothing']);
  const list = document.getElementById('details-values');
  const names = rows.map(([name]) => name).join('\n');
  if (list.dataset.names !== names) {
    list.dataset.names = names;
    list.replaceChildren(...rows.map(([name]) => {
      const row = document.createElement('div');
      const dt = document.createElement('dt');
      dt.textContent = name;
      row.append(dt, document.createElement('dd'));
      return row;
    }));
  }
  rows.forEach(([, v], i) => {
    const dd = list.children[i].lastChild;
    if (dd.textContent !== v) dd.textContent = v;
  });
}

function apply(frame) {
  cockpit.frames += 1;
  cockpit.t = frame.t;
  document.body.dataset.paused = frame.paused ? '1' : '0';
  document.body.dataset.sound = frame.sound ? '1' : '0';
  document.getElementById('pause').textContent = frame.paused ? 'Resume' : 'Pause';
  document.getElementById('sound').textContent = frame.sound ? 'Sound off' : 'Sound on';
  for (const [name, v] of Object.entries(frame.lvars)) {
    cockpit.lvars[name] = value(v);
    for (const fn of cockpit.watchers.get(name) || []) fn(value(v));
  }
  if (frame.host) cockpit.host = { ...cockpit.host, ...frame.host };
  if (frame.panel) {
    cockpit.panel = frame.panel;
    cockpit.panelVersion = frame.panelVersion;
    loadPanel();
  }
  const p = power();
  for (const light of cockpit.lights) light(p);
  header(frame);
  details(p);
  for (const t of frame.diag || []) note(t);
}

function connect() {
  const state = document.getElementById('link');
  const source = new EventSource('/api/live');
  source.onopen = () => { state.textContent = 'live'; state.className = 'live'; };
  source.onmessage = (ev) => apply(JSON.parse(ev.data));
  source.onerror = () => { state.textContent = 'no link to the bench'; state.className = 'down'; };
}

window.addEventListener('DOMContentLoaded', () => {
  instrumentPanel(document.getElementById('front'), 1);
  instrumentPanel(document.getElementById('rear'), 2);
  cabin(document.getElementById('cabin'));
  servicePanel();
  hostControls();
  document.getElementById('details').addEventListener('toggle', details);
  connect();
});
