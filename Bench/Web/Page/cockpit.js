// The cockpit page: lays out both instrument panels, the cabin and the service panel, follows
// the flight's live state and sends the pilot's clicks back as the simulator would.
'use strict';

const cockpit = {
  lvars: {},      // every named variable as last received
  panel: [],      // the service panel's elements: value, hidden, text
  panelVersion: 0,
  frames: 0,      // frames received
  watchers: new Map(),
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
    radio(svg, 300, 498, watch, sendKey);
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

const HostLabels = {
  'avar:AIRSPEED INDICATED:kph': ['airspeed', 'km/h', 0],
  'avar:INDICATED ALTITUDE:m': ['altitude', 'm', 0],
  'token:79': ['bank', '°', 1],
};

function apply(frame) {
  cockpit.frames += 1;
  document.getElementById('time').textContent = `t = ${number(frame.t, 2)} s`;
  document.body.dataset.paused = frame.paused ? '1' : '0';
  document.body.dataset.sound = frame.sound ? '1' : '0';
  document.getElementById('pause').textContent = frame.paused ? 'Resume' : 'Pause';
  document.getElementById('sound').textContent = frame.sound ? 'Sound off' : 'Sound on';
  document.getElementById('paused').hidden = !frame.paused;
  for (const [name, value] of Object.entries(frame.lvars)) {
    const v = value === null ? NaN : value;
    cockpit.lvars[name] = v;
    for (const fn of cockpit.watchers.get(name) || []) fn(v);
  }
  if (frame.host) {
    cockpit.host = { ...cockpit.host, ...frame.host };
    const main = [];
    const more = [];
    for (const [name, v] of Object.entries(cockpit.host)) {
      const [label, unit, digits] = HostLabels[name] || [name.replace(/^avar:/, ''), '', 2];
      (HostLabels[name] ? main : more).push(`${label} ${number(v === null ? NaN : v, digits)} ${unit}`.trim());
    }
    document.getElementById('host-values').textContent = main.join(' · ');
    document.getElementById('host-more').textContent = more.join(' · ');
  }
  if (frame.panel) {
    cockpit.panel = frame.panel;
    cockpit.panelVersion = frame.panelVersion;
    const img = document.getElementById('service-panel');
    img.src = `/panel.png?v=${frame.panelVersion}`;
    img.dataset.version = String(frame.panelVersion);
  }
  for (const text of frame.diag || []) note(text);
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
  connect();
});
