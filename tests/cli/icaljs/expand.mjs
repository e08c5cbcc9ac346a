// The days of each event of an iCalendar file as Mozilla's ical.js expands it
// (with its changed occurrences and the file's VTIMEZONEs): "KEY<TAB>YYYYMMDD,..."
// with the SUMMARY's first four characters as KEY, for every day of the years
// EVERY_DAY_FROM..EVERY_DAY_TO and days 28..31 of the others.
// usage: node expand.mjs FILE.ics FIRST_YEAR LAST_YEAR EVERY_DAY_FROM EVERY_DAY_TO
import { readFileSync } from 'node:fs';
import ICAL from 'ical.js';

const [file, ...years] = process.argv.slice(2);
const [firstYear, lastYear, everyDayFrom, everyDayTo] = years.map(Number);
const root = new ICAL.Component(ICAL.parse(readFileSync(file, 'utf8')));
for (const zone of root.getAllSubcomponents('vtimezone')) ICAL.TimezoneService.register(zone);
const counted = (t) =>
  t.year >= firstYear && t.year <= lastYear && ((t.year >= everyDayFrom && t.year <= everyDayTo) || t.day >= 28);
const dayText = (t) => t.toString().slice(0, 10).replaceAll('-', '');
const cancelled = (event) =>
  String(event.component.getFirstPropertyValue('status') ?? '').toUpperCase() === 'CANCELLED';
const components = root.getAllSubcomponents('vevent');
const changed = components.filter((c) => c.hasProperty('recurrence-id'));
const uids = new Set(
  components.filter((c) => !c.hasProperty('recurrence-id')).map((c) => c.getFirstPropertyValue('uid')));
for (const component of components) {
  const isChanged = component.hasProperty('recurrence-id');
  const uid = component.getFirstPropertyValue('uid');
  // A changed occurrence counts with its event; alone, it is an event.
  if (isChanged && uids.has(uid)) continue;
  const exceptions = isChanged ? [] : changed.filter((c) => c.getFirstPropertyValue('uid') === uid);
  const event = new ICAL.Event(component, { exceptions, strictExceptions: true });
  const days = new Set();
  if (isChanged) {
    if (!cancelled(event) && counted(event.startDate)) days.add(dayText(event.startDate));
  } else {
    const occurrences = event.iterator();
    for (let next = occurrences.next(); next && next.year <= lastYear; next = occurrences.next()) {
      const details = exceptions.length ? event.getOccurrenceDetails(next) : { item: event, startDate: next };
      if (details.item !== event && cancelled(details.item)) continue;
      if (counted(details.startDate)) days.add(dayText(details.startDate));
    }
  }
  const summary = String(component.getFirstPropertyValue('summary') ?? '');
  console.log(summary.slice(0, 4) + '\t' + [...days].sort().join(','));
}
